/**********************************************************************************************
*
*   scene_reader - loading escena.xml into the running scene
*
**********************************************************************************************/
#include "scene_reader.h"

#include "app_state.h"
#include "events.h"
#include "flags.h"
#include "generators.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "scene_document.h"
#include "scene_file.h"
#include "scene_parse.h"
#include "scene_paths.h"
#include "textures.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <climits>
#include <cstdio>
#include <array>
#include <map>  // Required for: the shapes generated in a load
#include <utility>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------

// NOTE: no network access: the DTD and anything else the document names must be local files.
// One parse validates the document and makes the tree that is read (validation adds nothing
// to the tree); the tree is only read, so short texts are kept in their nodes.
static const int LOADING_PARSE = XML_PARSE_DTDVALID | XML_PARSE_NONET | XML_PARSE_COMPACT;

//----------------------------------------------------------------------------------
// Private helpers: the file
//----------------------------------------------------------------------------------

// The bytes of escena.xml, refused before reading when it is no regular file or too large
FileStatus readSceneFileBytes(std::string *bytes)
{
    return readRegularFile(SCENE_FILE_NAME, MAX_SCENE_FILE_BYTES, bytes);
}

bool readSceneBytes(std::string *bytes) { return fileOk(readSceneFileBytes(bytes)); }

// True when every byte is below 128
static bool allAscii(const std::string &bytes)
{
    unsigned char seen = 0;
    for (char c : bytes) seen |= (unsigned char)c;
    return (seen & 0x80) == 0;
}

// True for a scene file that reads the same in UTF-8 as in the Latin-1 it declares, so the
// parser may take its bytes as they are instead of converting every one: the prologue a save
// writes, all ASCII, and the DTD it names all ASCII too, with no text declaration of its own
// and no entities in other files (the parser then takes those as UTF-8 as well)
static bool readsAsUtf8(const std::string &bytes)
{
    const std::string prologue = std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"") +
                                 SCENE_DTD_NAME + "\">";
    if (bytes.compare(0, prologue.size(), prologue) != 0 || !allAscii(bytes)) return false;
    std::string dtd;
    if (!fileOk(readSceneFile(".", SCENE_DTD_NAME, MAX_SCENE_DTD_BYTES, &dtd)) || !allAscii(dtd)) return false;
    for (const char *word : {"<?xml", "SYSTEM", "PUBLIC"})
        if (dtd.find(word) != std::string::npos) return false;
    return true;
}

// Says why a scene file was not loaded
static void reportRefusal(const std::string &reason, const char *name = SCENE_FILE_NAME)
{
    fprintf(stderr, "Error: scene file \"%s\" not loaded: %s\n", name, reason.c_str());
}

// The file's bytes parsed once, validated against the scene's DTD while they are parsed;
// null, after the message (naming the file name), when the bytes are missing, not well
// formed, not valid, or name any other file
static xmlDocPtr parseValidScene(const std::string &bytes, const char *name = SCENE_FILE_NAME)
{
    const int options = readsAsUtf8(bytes) ? LOADING_PARSE | XML_PARSE_IGNORE_ENC : LOADING_PARSE;
    SceneParse parse = parseSceneBytes(bytes, ".", options, false);
    if (!parse.refusal.empty()) {
        xmlFreeDoc(parse.doc);
        reportRefusal(sceneRefusalText(parse), name);
        return nullptr;
    }
    if (parse.doc == nullptr) {
        fprintf(stderr, "Failed to parse %s\n", name);
        return nullptr;
    }
    if (!parse.valid) {
        xmlFreeDoc(parse.doc);
        fprintf(stderr, "Failed to validate %s\n", name);
        if (!parse.dtdProblem.empty()) reportRefusal(parse.dtdProblem, name);
        return nullptr;
    }
    return parse.doc;
}

// The bytes of escena.xml for a load; false after the message when there are none (a missing
// or unreadable file is reported as a parse of nothing)
static bool sceneBytesForLoad(std::string *bytes)
{
    const FileStatus status = readSceneFileBytes(bytes);
    if (fileOk(status)) return true;
    if (status.problem == FILE_NOT_REGULAR || status.problem == FILE_TOO_LARGE)
        reportRefusal(fileProblemText(status));
    else
        fprintf(stderr, "Failed to parse %s\n", SCENE_FILE_NAME);
    return false;
}

// The escena element: found with XPath, or the root whatever its name (the reader refuses it)
static const xmlNode *sceneRoot(xmlDocPtr doc, xmlXPathContextPtr xpath)
{
    const xmlNode *root = xmlDocGetRootElement(doc);
    xmlXPathObjectPtr found = xmlXPathEvalExpression(BAD_CAST "/escena", xpath);
    if (found != nullptr && found->nodesetval != nullptr && found->nodesetval->nodeNr > 0)
        root = found->nodesetval->nodeTab[0];
    xmlXPathFreeObject(found);
    return root;
}

//----------------------------------------------------------------------------------
// Private helpers: building the scene
//----------------------------------------------------------------------------------

// A new texture table holding the names read, none loaded
static void buildTextures(const SceneData &scene)
{
    create_texture_table();
    for (const std::string &name : scene.textures) add_texture_name(name.c_str());
}

// A new material table holding the materials read
static void buildMaterials(const SceneData &scene)
{
    create_material_table();
    for (const MaterialData &data : scene.materials) {
        material_record *material = materialFromData(data);
        if (material == nullptr) continue;
        // a second material of the same name is dropped: the first one stays
        if (!add_material(material)) free_material(material);
    }
}

// A new flag table holding the flags read
static void buildFlags(const SceneData &scene)
{
    createFlagTable();
    for (const FlagData &data : scene.flags) {
        FlagRecord *flag = newFlagRecord(data.name, data.value);
        if (flag != nullptr) addFlag(flag);
    }
}

// The object's EventSet, or null when the file gives it nothing
static EventSet *buildEvents(const ObjectData &object)
{
    if (object.events.empty()) return nullptr;
    EventSet *set = newEventSet();
    if (set == nullptr) return nullptr;
    for (const EventData &data : object.events) {
        Event &event = set->events[(size_t)data.slot];
        // NOTE: stored as the file has them, one after another (the reader kept at most 8)
        for (const EventPartData &part : data.conditions) addStoredCondition(&event, part.kind, part.a, part.name);
        for (const EventPartData &part : data.consequences)
            addStoredConsequence(&event, part.kind, part.a, part.b, part.c, part.name);
    }
    if (eventSetIsEmpty(set)) {
        freeEventSet(set);
        return nullptr;
    }
    return set;
}

// Shapes already generated in this load, by kind and parameters: a scene repeats a few
// shapes many times, and a copy costs far less than a new generation (the same record)
struct ShapeCache {
    std::map<std::pair<int, std::array<int, MAX_PARAMETERS>>, primitiva> shapes;
    ~ShapeCache()
    {
        for (auto &shape : shapes) free_primitiva(&shape.second);
    }
};

// The unscaled geometry of a kind with its parameters: generated once per load, and every
// object gets a copy of it (in one block)
static bool buildShape(const ObjectData &data, ShapeCache *cache, primitiva *record)
{
    auto key = std::make_pair(data.kind, data.parameters);
    auto known = cache->shapes.find(key);
    if (known == cache->shapes.end()) {
        primitiva shape = {};
        if (!build_primitive(data.kind, data.parameters.data(), &shape)) return false;
        known = cache->shapes.emplace(key, shape).first;
    }
    return copy_primitiva(&known->second, record) == 1;
}

// One object: geometry from its parameters, identifier, pose, materials, flags, scale, events
static void buildObject(const ObjectData &data, ShapeCache *cache)
{
    primitiva record = {};
    if (!buildShape(data, cache, &record)) return;
    record.nameBase = take_name_base();
    record.pose = data.pose;
    for (const std::string &name : data.materials)
        append_material_name(&record, find_material(name.c_str()) != nullptr ? name.c_str() : DEFAULT_MATERIAL_NAME);
    record.promediado = data.promediado;
    record.wireFrame = data.wireFrame;
    rescale_geometry(&record, data.scaleX, data.scaleY, data.scaleZ);
    record.dirty = 1;

    store_loaded_object(record, buildEvents(data));
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void createSceneTables()
{
    set_event_set_release(freeEventSet);
    create_texture_table();
    create_material_table();
    createFlagTable();
    add_default_material();
    rebuild_usage_table();
}

// The file as it is now parsed and validated
int validateSceneFile()
{
    std::string bytes;
    xmlDocPtr doc = sceneBytesForLoad(&bytes) ? parseValidScene(bytes) : nullptr;
    if (doc == nullptr) return 0;
    xmlFreeDoc(doc);
    return 1;
}

// One validating parse, reading, and only then the new scene
// The bytes of a scene document read into records; false after the message (naming the file)
static bool readSceneData(const std::string &bytes, const char *name, SceneData *scene)
{
    xmlDocPtr doc = parseValidScene(bytes, name);
    if (doc == nullptr) return false;
    xmlXPathContextPtr xpath = xmlXPathNewContext(doc);
    if (xpath == nullptr) {
        fprintf(stderr, "Error: unable to create new XPath context\n");
        xmlFreeDoc(doc);
        return false;
    }
    std::string error;
    int read = readSceneDocument(sceneRoot(doc, xpath), scene, &error);
    xmlXPathFreeContext(xpath);
    xmlFreeDoc(doc);
    if (!read) {
        reportRefusal(error, name);
        return false;
    }
    return true;
}

int loadScene(std::string *document)
{
    std::string bytes;
    if (document != nullptr) document->clear();
    if (!sceneBytesForLoad(&bytes)) return 0;
    if (document != nullptr) *document = bytes;
    SceneData scene;
    if (!readSceneData(bytes, SCENE_FILE_NAME, &scene)) return 0;
    buildScene(scene);
    return 1;
}

int readOtherSceneFile(const char *path, SceneData *scene, std::string *reason)
{
    std::string bytes;
    const FileStatus status = readRegularFile(path, MAX_SCENE_FILE_BYTES, &bytes);
    if (!fileOk(status)) {
        *reason = fileProblemText(status);
        fprintf(stderr, "Error: scene file \"%s\" not loaded: %s\n", path, reason->c_str());
        return 0;
    }
    if (!readSceneData(bytes, path, scene)) {
        *reason = "no es una escena valida";
        return 0;
    }
    return 1;
}

// Every table replaced in order; nothing left selected, locked or held
void buildScene(const SceneData &scene)
{
    buildTextures(scene);
    buildMaterials(scene);
    buildFlags(scene);
    clear_objects();
    set_creation_counter(0);
    rebuild_usage_table();
    ShapeCache cache;
    for (const ObjectData &object : scene.objects) buildObject(object, &cache);

    setSelectedObject(nullptr);
    setSelectedIndex(0);
    setLastHitName(0);
    setLockedObject(-1);
    setObjectHeld(0);
}

material_record *materialFromData(const MaterialData &data)
{
    material_record *material = new_material();
    if (material == nullptr) return nullptr;
    material->name = data.name;
    material->pBlend = data.pBlend;
    material->pShine = data.pShine;
    material->texturado = data.texturado;
    material->Ka = data.Ka;
    material->Kd = data.Kd;
    material->Ks = data.Ks;
    material->pLuzDif = data.pLuzDif;
    material->pLuzEsp = data.pLuzEsp;
    material->pLuzEmi = data.pLuzEmi;
    if (data.texturado == 1 && data.hasTextureBlock) {
        // code 0 with its bitmap, or 1 raised by every frame
        material->texture = new_texture_block();
        material->texture->TEXscaleX = data.TEXscaleX;
        material->texture->TEXscaleY = data.TEXscaleY;
        material->texture->milTime = data.milTime;
        material->texture->multiple = data.multiple == 0 ? 0 : 1;
        for (const std::string &frame : data.frames) add_frame(material->texture.get(), frame.c_str());
    }
    return material;
}
