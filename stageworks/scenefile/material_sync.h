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
*   DEPENDENCIES: scene_document (the sections), scene_file (names), scene (materials,
*                 textures, usage table, objects), events (material chooser), redraw (a
*                 change taken over asks for a frame), libxml2
*
**********************************************************************************************/
#pragma once

struct SceneData;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The file on disk now is the one stageworks has read (a load, even a refused one) or written
void rememberSceneFile();

// Periodic check: when escena.xml changed since it was last seen, reads its texture and
// material sections and takes them over. 1 when the running scene changed
int syncSceneMaterials();

// Before a save: when escena.xml changed since stageworks last read or wrote it, takes over
// its texture and material sections first. 1 when the save may go on (also for a file that
// is gone); 0 when the changed file cannot be read (reported on standard error): writing over
// it would throw away what another program put there
int prepareSceneSave();

// Takes over the texture and material sections of scene (objects, flags and events in it are
// not looked at). 1 when anything changed
int takeOverSceneMaterials(const SceneData &scene);
