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
#include "scene_parse.h"
#include "scene_paths.h"
#include "scene_reader.h"
#include "textures.h"

#include <algorithm>  // Required for: std::min()
#include <climits>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// What is known of the sections other than textures and materials of one state of the file
struct OtherSections {
    bool known = false;
    uint64_t fingerprint = 0;
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static SceneFileStamp synced;          // the file as stageworks last read or wrote it
static OtherSections own;              // its other sections, as read or written then
static bool syncedNotLoaded = false;   // synced is a file whose load failed
static SceneFileStamp seen;            // the file as the last look found it
static OtherSections seenOthers;       // its other sections (known only when it was read)
static bool seenUnreadable = false;    // the last look could not read it
static int lastTakenOver = 0;          // materials the last take-over changed

//----------------------------------------------------------------------------------
// Private helpers: the file
//----------------------------------------------------------------------------------

// True when the other sections of the file last seen are the ones stageworks read or wrote
static bool othersAsOwn() { return own.known && seenOthers.known && own.fingerprint == seenOthers.fingerprint; }

// The texture and material sections of escena.xml, validated against its DTD; 0 with the
// reason when the file cannot be read, is not valid or is refused. The bytes read go to bytes
static int readMaterialSections(SceneData *scene, std::string *bytes, std::string *reason)
{
    const FileStatus status = readSceneFileBytes(bytes);
    if (!fileOk(status)) {
        *reason = "the file cannot be read (" + fileProblemText(status) + ")";
        return 0;
    }
    SceneParse parse = parseSceneBytes(*bytes, ".", XML_PARSE_DTDVALID, true);
    int read = 0;
    if (!parse.refusal.empty()) {
        *reason = sceneRefusalText(parse);
    } else if (parse.doc == nullptr) {
        *reason = "not well formed: " + parse.firstMessage;
    } else if (!parse.valid) {
        *reason = "not valid against " + std::string(SCENE_DTD_NAME) + ": " +
                  (parse.dtdProblem.empty() ? parse.firstMessage : parse.dtdProblem);
    } else {
        read = readSceneMaterialSections(xmlDocGetRootElement(parse.doc), scene, reason);
    }
    xmlFreeDoc(parse.doc);
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

// Reads the file now on disk (stamped now): takes over its texture and material sections and
// notes its other sections. 1 when the running scene changed, 0 when it did not, -1 when the
// file cannot be read or is refused (reported once on standard error)
static int takeOverFromDisk(const SceneFileStamp &now)
{
    SceneData scene;
    std::string bytes, reason;
    seen = now;
    seenOthers = OtherSections();
    seenUnreadable = !readMaterialSections(&scene, &bytes, &reason);
    if (seenUnreadable) {
        fprintf(stderr, "Error: %s changed on disk but was not taken over: %s\n", SCENE_FILE_NAME, reason.c_str());
        return -1;
    }
    seenOthers.known = true;
    seenOthers.fingerprint = otherSectionsFingerprint(bytes);
    return takeOverSceneMaterials(scene);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool sameSceneStamp(const SceneFileStamp &a, const SceneFileStamp &b)
{
    if (a.exists != b.exists) return false;
    return !a.exists || a.identity == b.identity;
}

SceneFileStamp sceneFileStamp()
{
    SceneFileStamp stamp;
    stamp.exists = fileIdentityOf(SCENE_FILE_NAME, &stamp.identity);
    return stamp;
}

void rememberSceneRead(const SceneFileStamp &before, const std::string *document)
{
    synced = seen = before;
    own = OtherSections();
    if (document != nullptr) {
        own.known = true;
        own.fingerprint = otherSectionsFingerprint(*document);
    }
    seenOthers = own;
    seenUnreadable = false;
    syncedNotLoaded = document == nullptr && before.exists;
}

void rememberSceneWritten(const std::string &document)
{
    synced = seen = sceneFileStamp();
    own.known = true;
    own.fingerprint = otherSectionsFingerprint(document);
    seenOthers = own;
    seenUnreadable = false;
    syncedNotLoaded = false;
}

int syncSceneMaterials()
{
    const SceneFileStamp now = sceneFileStamp();
    if (sameSceneStamp(now, seen)) return 0;
    seen = now;
    if (sameSceneStamp(now, synced) || !now.exists) return 0;
    // NOTE: the stamp is taken before the file is read: a write in between is seen next time
    int result = takeOverFromDisk(now);
    if (result < 0) return 0;
    // NOTE: a file whose flags or objects changed too stays "changed": a save asks first
    if (othersAsOwn()) synced = now;
    return result;
}

SceneOnDisk checkSceneOnDisk()
{
    const SceneFileStamp now = sceneFileStamp();
    if (!now.exists) return SCENE_AS_KNOWN;
    if (sameSceneStamp(now, synced)) return syncedNotLoaded ? SCENE_NOT_LOADED : SCENE_AS_KNOWN;
    // NOTE: a changed file the last look read (or found bad) is not read (nor reported) again
    if (!sameSceneStamp(now, seen) || (!seenUnreadable && !seenOthers.known)) takeOverFromDisk(now);
    if (seenUnreadable) return SCENE_UNREADABLE;
    if (!othersAsOwn()) return SCENE_OTHERS_CHANGED;
    synced = now;
    syncedNotLoaded = false;
    return SCENE_MATERIALS_TAKEN;
}

uint64_t otherSectionsFingerprint(const std::string &document)
{
    // NOTE: the other sections start at the first Flags or primitiva element; everything from
    // there to the end counts, except line ends, which matforge rewrites as CR LF
    size_t start = document.size();
    for (const char *tag : {"<Flags>", "<Flags/>", "<primitiva ", "<primitiva>"})
        start = std::min(start, document.find(tag));
    if (start == std::string::npos || start == document.size()) start = document.rfind("</escena>");
    if (start == std::string::npos) start = document.size();
    uint64_t hash = 14695981039346656037ull;   // FNV-1a, 64 bits
    for (size_t i = start; i < document.size(); i++) {
        const unsigned char c = (unsigned char)document[i];
        if (c == '\r' || c == '\n') continue;
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

int takeOverSceneMaterials(const SceneData &scene)
{
    lastTakenOver = 0;
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
    lastTakenOver = (int)changed.size();
    requestRedraw();
    return 1;
}

int materialsTakenOver() { return lastTakenOver; }
