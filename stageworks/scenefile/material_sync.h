/**********************************************************************************************
*
*   material_sync - taking over the materials another program saved into escena.xml
*
*   matforge writes the texture and material sections of escena.xml while stageworks runs.
*   The module remembers the file as stageworks last read or wrote it (device, inode, size,
*   modification time) and, when the file on disk is no longer that one, reads only its
*   texture and material sections, validated against the DTD, and takes them over in place:
*   new and changed materials and textures, gone ones removed, the usage table and the
*   material chooser rebuilt when the set of names changed, and the display lists of the
*   objects whose material changed compiled again. Objects keep their place, events and
*   selection; an object whose material is gone gets "(default)", as a load gives it.
*   Objects, flags, events, the camera and the selection are never read from the file.
*
*   A file that cannot be read or is refused changes nothing and is reported once on standard
*   error ("Error: escena.xml changed on disk but was not taken over: <reason>"); the same file
*   is not read again until it changes.
*
*   Besides the materials, the module keeps a fingerprint of the other sections (flags,
*   objects) as stageworks last read or wrote them, and of a changed file's: a save can then
*   tell a file where only matforge's sections changed from one where another program saved
*   objects or flags, which a save must not write over unasked (save_guard decides).
*
*   DEPENDENCIES: scene_document (the sections), scene_parse, scene_file (names), scene
*                 (materials, textures, usage table, objects), events (material chooser),
*                 scene_paths (file_safety), redraw (a change
*                 taken over asks for a frame), libxml2
*
**********************************************************************************************/
#pragma once

#include "scene_paths.h"

#include <cstdint>
#include <string>

struct SceneData;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// What tells one state of escena.xml from another without reading it
struct SceneFileStamp {
    bool exists = false;
    FileIdentity identity;
};

// What a look at escena.xml before a save found
enum SceneOnDisk {
    SCENE_AS_KNOWN = 0,      // as stageworks last read or wrote it, or gone
    SCENE_NOT_LOADED,        // still the file whose load failed: stageworks holds none of it
    SCENE_MATERIALS_TAKEN,   // changed in its texture and material sections only: taken over
    SCENE_OTHERS_CHANGED,    // its flags or objects changed too (textures and materials taken over)
    SCENE_UNREADABLE,        // changed, and cannot be read or is refused
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The stamp of escena.xml now (exists false when there is none)
SceneFileStamp sceneFileStamp();

// True for two stamps of the same state of the file (or both of no file)
bool sameSceneStamp(const SceneFileStamp &a, const SceneFileStamp &b);

// After a load: the file as stamped before it was read, and the bytes of a load that replaced
// the scene (null for a load that failed: then nothing of the file is held)
void rememberSceneRead(const SceneFileStamp &before, const std::string *document);

// After a save: the bytes written are what the file now holds
void rememberSceneWritten(const std::string &document);

// Periodic check: when escena.xml changed since it was last seen, reads its texture and
// material sections and takes them over. 1 when the running scene changed
int syncSceneMaterials();

// Before a save: looks at the file on disk; when it changed since stageworks last read or
// wrote it, takes over its texture and material sections first (a file that cannot be read is
// reported on standard error, once)
SceneOnDisk checkSceneOnDisk();

// A number that tells the sections other than textures and materials (flags, objects with
// their events and faces) of a document from others: the same for a document matforge
// rewrote, different as soon as a flag or an object differs
uint64_t otherSectionsFingerprint(const std::string &document);

// Takes over the texture and material sections of scene (objects, flags and events in it are
// not looked at). 1 when anything changed
int takeOverSceneMaterials(const SceneData &scene);

// How many materials the last take-over added, changed or removed (0 when it changed none)
int materialsTakenOver();
