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
#include "textures.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <fcntl.h>     // Required for: open()
#include <sys/stat.h>  // Required for: fstat()
#include <unistd.h>    // Required for: read(), close()

#include <algorithm>  // Required for: std::min()
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>  // Required for: memcpy()
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

// The bytes of a file; false when it cannot be read
static bool readFileBytes(const char *name, std::string *bytes)
{
    bytes->clear();
    int file = open(name, O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    // NOTE: room for the size the file has now and one byte more, so a file that grew since is
    // seen to go on; the string grows from there
    struct stat info;
    size_t room = (fstat(file, &info) == 0 && info.st_size > 0) ? (size_t)info.st_size : 0;
    bytes->resize(std::min(room, (size_t)INT_MAX) + 1);
    size_t got = 0;
    bool complete = true;
    for (;;) {
        if (got == bytes->size()) {
            if (got > (size_t)INT_MAX) break;
            bytes->resize(got * 2);
        }
        ssize_t count = ::read(file, &(*bytes)[got], bytes->size() - got);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            complete = count == 0;
            break;
        }
        got += (size_t)count;
    }
    close(file);
    bytes->resize(got);
    return complete && got <= (size_t)INT_MAX;
}

// The bytes of escena.xml; false when it cannot be read
bool readSceneBytes(std::string *bytes) { return readFileBytes(SCENE_FILE_NAME, bytes); }

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
    if (!readFileBytes(SCENE_DTD_NAME, &dtd) || !allAscii(dtd)) return false;
    for (const char *word : {"<?xml", "SYSTEM", "PUBLIC"})
        if (dtd.find(word) != std::string::npos) return false;
    return true;
}

// The bytes still to hand to the parser
struct ByteSource {
    const char *next;
    size_t left;
};

// Hands the parser the next bytes it asks for (so it keeps no copy of the whole file)
static int nextBytes(void *context, char *buffer, int length)
{
    ByteSource *source = (ByteSource *)context;
    size_t count = std::min(source->left, (size_t)(length > 0 ? length : 0));
    memcpy(buffer, source->next, count);
    source->next += count;
    source->left -= count;
    return (int)count;
}

// The file's bytes parsed once, validated against the DTD they name while they are parsed;
// null, after the message, when the bytes are missing, not well formed or not valid
static xmlDocPtr parseValidScene(const std::string *bytes)
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr) {
        fprintf(stderr, "Failed to allocate parser context\n");
        return nullptr;
    }
    xmlDocPtr doc = nullptr;
    if (bytes != nullptr) {
        ByteSource source = {bytes->data(), bytes->size()};
        int options = readsAsUtf8(*bytes) ? LOADING_PARSE | XML_PARSE_IGNORE_ENC : LOADING_PARSE;
        doc = xmlCtxtReadIO(context, nextBytes, nullptr, &source, SCENE_FILE_NAME, nullptr, options);
    }
    int valid = context->valid;
    xmlFreeParserCtxt(context);
    if (doc == nullptr) {
        fprintf(stderr, "Failed to parse %s\n", SCENE_FILE_NAME);
        return nullptr;
    }
    if (valid == 0) {
        xmlFreeDoc(doc);
        fprintf(stderr, "Failed to validate %s\n", SCENE_FILE_NAME);
        return nullptr;
    }
    return doc;
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

// The value record of a condition of a known kind
static void *conditionValue(const EventPartData &part)
{
    switch (part.kind) {
    case cActivate: return newActivateValue();
    case cDistanceMY:
    case cDistanceMN: return newDistanceValue(part.a);
    case cFlag: return newFlagValue(part.name, part.a);
    default: return nullptr;
    }
}

// The value record of a consequence of a known kind
static void *consequenceValue(const EventPartData &part)
{
    switch (part.kind) {
    case cMoveObj: return newMoveValue(part.a, part.b, part.c);
    case cRotateObj:
    case cRotateMat: return newRotateValue(part.a, part.b, part.c);
    case cChangeMat: return newChangeMatValue(part.name);
    case cFlagEqual: return newFlagValue(part.name, part.a);
    case cLoop: return newLoopValue(part.a);
    case cAgain: return newAgainValue();
    default: return nullptr;
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
        for (const EventPartData &part : data.conditions) {
            void *value = conditionValue(part);
            if (value == nullptr || event.conditionCount >= CONDITIONS_PER_EVENT) {
                freeConditionValue(part.kind, value);
                continue;
            }
            event.conditions[(size_t)event.conditionCount] = Condition{part.kind, value, 0};
            event.conditionCount++;
        }
        for (const EventPartData &part : data.consequences) {
            void *value = consequenceValue(part);
            if (value != nullptr) setConsequence(&event, event.consequenceCount, part.kind, value);
        }
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

    EventSet *events = buildEvents(data);
    int index = store_object(record, events);
    if (index < 0) {
        free_primitiva(&record);
        freeEventSet(events);
        return;
    }
    add_user(first_material_name(object_at(index)), object_slot(index));
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
    bool found = readSceneBytes(&bytes);
    xmlDocPtr doc = parseValidScene(found ? &bytes : nullptr);
    if (doc == nullptr) return 0;
    xmlFreeDoc(doc);
    return 1;
}

// One validating parse, reading, and only then the new scene
int loadScene()
{
    std::string bytes;
    bool found = readSceneBytes(&bytes);
    xmlDocPtr doc = parseValidScene(found ? &bytes : nullptr);
    if (doc == nullptr) return 0;

    xmlXPathContextPtr xpath = xmlXPathNewContext(doc);
    if (xpath == nullptr) {
        fprintf(stderr, "Error: unable to create new XPath context\n");
        xmlFreeDoc(doc);
        return 0;
    }
    SceneData scene;
    std::string error;
    int read = readSceneDocument(sceneRoot(doc, xpath), &scene, &error);
    xmlXPathFreeContext(xpath);
    xmlFreeDoc(doc);
    if (!read) {
        fprintf(stderr, "Error: scene file \"%s\" not loaded: %s\n", SCENE_FILE_NAME, error.c_str());
        return 0;
    }
    buildScene(scene);
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
