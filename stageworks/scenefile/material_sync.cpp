/**********************************************************************************************
*
*   material_sync - taking over the materials another program saved into escena.xml
*
**********************************************************************************************/
#include "material_sync.h"

#include "app_state.h"
#include "choosers.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "redraw.h"
#include "scene_document.h"
#include "scene_file.h"
#include "scene_reader.h"
#include "textures.h"

#include <libxml/parser.h>     // Required for: xmlCtxtReadMemory()
#include <libxml/xmlerror.h>   // Required for: xmlSetStructuredErrorFunc()

#include <sys/stat.h>          // Required for: stat()

#include <climits>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// What tells one state of the file from another without reading it
struct FileStamp {
    bool exists;
    dev_t device;
    ino_t inode;
    off_t size;
    long long seconds, nanoseconds;
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static FileStamp synced = {};   // the file as stageworks last read or wrote it
static FileStamp seen = {};     // the file as the last check found it

//----------------------------------------------------------------------------------
// Private helpers: the file
//----------------------------------------------------------------------------------

// The stamp of escena.xml now (exists false when there is none)
static FileStamp stampNow()
{
    FileStamp stamp = {};
    struct stat info;
    if (stat(SCENE_FILE_NAME, &info) != 0) return stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.seconds = (long long)info.st_mtim.tv_sec;
    stamp.nanoseconds = (long long)info.st_mtim.tv_nsec;
    return stamp;
}

// True for two stamps of the same state of the file
static bool sameStamp(const FileStamp &a, const FileStamp &b)
{
    if (a.exists != b.exists) return false;
    if (!a.exists) return true;
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.seconds == b.seconds &&
           a.nanoseconds == b.nanoseconds;
}

// Keeps the first message libxml2 gives (instead of printing every one)
static void keepFirstError(void *data, xmlErrorPtr error)
{
    std::string *first = (std::string *)data;
    if (!first->empty() || error == nullptr || error->message == nullptr) return;
    *first = error->message;
    while (!first->empty() && (first->back() == '\n' || first->back() == ' ')) first->pop_back();
    if (error->line > 0) *first += " (line " + std::to_string(error->line) + ")";
}

// The texture and material sections of escena.xml, validated against its DTD; 0 with the
// reason when the file cannot be read, is not valid or is refused
static int readMaterialSections(SceneData *scene, std::string *reason)
{
    std::string bytes;
    if (!readSceneBytes(&bytes)) {
        *reason = "the file cannot be read";
        return 0;
    }
    std::string libxmlMessage;
    xmlSetStructuredErrorFunc(&libxmlMessage, keepFirstError);
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    xmlDocPtr doc = nullptr;
    int valid = 0;
    if (context != nullptr) {
        // NOTE: no network access: the DTD must be the local file beside the scene
        doc = xmlCtxtReadMemory(context, bytes.data(), (int)bytes.size(), SCENE_FILE_NAME, nullptr,
                                XML_PARSE_DTDVALID | XML_PARSE_NONET);
        valid = context->valid;
        xmlFreeParserCtxt(context);
    }
    xmlSetStructuredErrorFunc(nullptr, nullptr);

    int read = 0;
    if (doc == nullptr) {
        *reason = "not well formed: " + libxmlMessage;
    } else if (valid == 0) {
        *reason = "not valid against " + std::string(SCENE_DTD_NAME) + ": " + libxmlMessage;
    } else {
        read = readSceneMaterialSections(xmlDocGetRootElement(doc), scene, reason);
    }
    xmlFreeDoc(doc);
    return read;
}

//----------------------------------------------------------------------------------
// Private helpers: materials
//----------------------------------------------------------------------------------

// True when two materials hold the same values as far as the file goes (a texture's running
// rotation and animation frame are not in the file)
static bool sameFileValues(const material_record &a, const material_record &b)
{
    if (a.pBlend != b.pBlend || a.pShine != b.pShine || a.texturado != b.texturado || a.Ka != b.Ka ||
        a.Kd != b.Kd || a.Ks != b.Ks || a.pLuzDif != b.pLuzDif || a.pLuzEsp != b.pLuzEsp || a.pLuzEmi != b.pLuzEmi)
        return false;
    if (!a.texture || !b.texture) return !a.texture && !b.texture;
    const texture_block &x = *a.texture, &y = *b.texture;
    return x.TEXscaleX == y.TEXscaleX && x.TEXscaleY == y.TEXscaleY && x.milTime == y.milTime &&
           x.multiple == y.multiple && x.frames == y.frames;
}

// Gives the kept record the fresh one's values; the kept record stays where it is, since the
// usage table points at it
static void takeValues(material_record &kept, material_record &fresh)
{
    kept.pBlend = fresh.pBlend;
    kept.pShine = fresh.pShine;
    kept.texturado = fresh.texturado;
    kept.Ka = fresh.Ka;
    kept.Kd = fresh.Kd;
    kept.Ks = fresh.Ks;
    kept.pLuzDif = fresh.pLuzDif;
    kept.pLuzEsp = fresh.pLuzEsp;
    kept.pLuzEmi = fresh.pLuzEmi;
    kept.texture = std::move(fresh.texture);
}

// True when the material shows one of the named bitmaps
static bool showsAnyOf(const material_record &material, const std::set<std::string> &names)
{
    if (!material.texture) return false;
    for (const std::string &frame : material.texture->frames)
        if (names.count(frame) != 0) return true;
    return false;
}

// The texture table made to hold exactly the names given; the names added or removed
static std::set<std::string> takeOverTextures(const std::vector<std::string> &names)
{
    std::set<std::string> changed;
    const std::set<std::string> wanted(names.begin(), names.end());
    for (const std::string &name : hash_table_keys(texture_table())) {
        if (wanted.count(name) != 0) continue;
        remove_texture_name(name.c_str());
        changed.insert(name);
    }
    for (const std::string &name : names) {
        if (!add_texture_name(name.c_str())) continue;
        load_texture(name.c_str());
        changed.insert(name);
    }
    return changed;
}

// Users again for every object, in slot order, after the set of materials changed; an object
// whose material is gone gets "(default)", as a load gives it
static void rejoinUsageTable()
{
    rebuild_usage_table();
    for (int i = 0; i < object_count(); i++) {
        primitiva *object = object_at(i);
        const char *name = first_material_name(object);
        if (name != nullptr && find_material(name) == nullptr) {
            set_first_material_name(object, DEFAULT_MATERIAL_NAME);
            set_dirty(object, 1);
        }
        add_user(first_material_name(object), object_slot(i));
    }
    if (find_material(current_material()) == nullptr) set_current_material(DEFAULT_MATERIAL_NAME);
    const primitiva *selected = getSelectedObject();
    const char *mark = selected != nullptr ? first_material_name(selected) : nullptr;
    buildMaterialChooser(mark != nullptr ? mark : DEFAULT_MATERIAL_NAME);
}

// Takes over one check's worth of the file: 1 when the scene changed, 0 when it did not or the
// file was refused (then reported once)
static int takeOverFromDisk()
{
    SceneData scene;
    std::string reason;
    if (!readMaterialSections(&scene, &reason)) {
        fprintf(stderr, "Error: %s changed on disk but was not taken over: %s\n", SCENE_FILE_NAME, reason.c_str());
        return -1;
    }
    return takeOverSceneMaterials(scene);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void rememberSceneFile()
{
    synced = stampNow();
    seen = synced;
}

int syncSceneMaterials()
{
    const FileStamp now = stampNow();
    if (sameStamp(now, seen)) return 0;
    seen = now;
    if (sameStamp(now, synced) || !now.exists) return 0;
    // NOTE: the stamp is taken before the file is read: a write in between is seen next time
    int result = takeOverFromDisk();
    if (result < 0) return 0;
    synced = now;
    return result;
}

int prepareSceneSave()
{
    const FileStamp now = stampNow();
    if (sameStamp(now, synced) || !now.exists) return 1;
    // NOTE: a changed file the last check found bad is not read (nor reported) again
    const bool knownBad = sameStamp(now, seen);
    seen = now;
    if (knownBad || takeOverFromDisk() < 0) {
        fprintf(stderr, "Error: %s not saved: it changed on disk and saving now would lose those changes\n",
                SCENE_FILE_NAME);
        return 0;
    }
    synced = now;
    return 1;
}

int takeOverSceneMaterials(const SceneData &scene)
{
    const std::set<std::string> changedTextures = takeOverTextures(scene.textures);
    std::set<std::string> changed;   // materials whose objects must be compiled again
    std::set<std::string> onDisk;
    bool namesChanged = false;

    for (const MaterialData &data : scene.materials) {
        // a second material of the same name is dropped, as a load drops it
        if (!onDisk.insert(data.name).second) continue;
        material_record *fresh = materialFromData(data);
        if (fresh == nullptr) continue;
        material_record *kept = find_material(data.name.c_str());
        if (kept == nullptr) {
            if (add_material(fresh)) {
                namesChanged = true;
                changed.insert(data.name);
            } else {
                free_material(fresh);
            }
            continue;
        }
        if (!sameFileValues(*kept, *fresh)) {
            takeValues(*kept, *fresh);
            changed.insert(data.name);
        } else if (showsAnyOf(*kept, changedTextures)) {
            changed.insert(data.name);
        }
        free_material(fresh);
    }
    for (const std::string &name : hash_table_keys(material_table())) {
        if (onDisk.count(name) != 0) continue;
        free_material((material_record *)hash_table_remove(material_table(), (uint32_t)name.size(), name.c_str()));
        namesChanged = true;
        changed.insert(name);
    }

    // NOTE: the usage table points at the records: it is rebuilt before anything is drawn
    if (namesChanged) rejoinUsageTable();
    for (int i = 0; i < object_count(); i++) {
        const char *name = first_material_name(object_at(i));
        if (name != nullptr && changed.count(name) != 0) set_dirty(object_at(i), 1);
    }
    if (changed.empty() && changedTextures.empty()) return 0;
    requestRedraw();
    return 1;
}
