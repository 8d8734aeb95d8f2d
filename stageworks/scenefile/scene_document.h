/**********************************************************************************************
*
*   scene_document - reading a parsed scene document into plain records
*
*   The first half of a load: the element tree of escena.xml is walked once, each element
*   read relative to its own parent by the position of its children (the element order of
*   the DTD), and turned into the records below. Nothing of the running scene is touched, so
*   a document that breaks a limit or the expected structure is refused whole, with the
*   reason, before anything changes. Numbers read as "%d" and "%f" read them (leading
*   blanks, the longest numeric prefix); text that holds no finite number reads as 0. Names
*   are the first word of their text.
*
*   Refused: more than 1000 objects of known kinds, more than 8 conditions in one event (the
*   events of one object with the same code count together), an event code that is not a
*   number from 0 to 15, a name longer than 255 characters, an object whose parameter
*   element is not its kind's, objects asking for more than 2^20 faces in all, and any
*   element out of the DTD's order. Objects of an unknown kind are skipped, conditions of an
*   unknown kind are dropped, and so are consequences of an unknown kind.
*
*   DEPENDENCIES: scene (records, parameters), events (kind numbers), scene_file (limits),
*                 libxml2 (tree)
*
**********************************************************************************************/
#pragma once

#include "records.h"

#include <libxml/tree.h>

#include <array>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

struct MaterialData {
    std::string name;
    float pBlend = 0.0f, pShine = 0.0f;
    int texturado = 0;
    float Ka = 0.0f, Kd = 0.0f, Ks = 0.0f;
    std::array<float, 4> pLuzDif = {}, pLuzEsp = {}, pLuzEmi = {};
    bool hasTextureBlock = false;     // texturado 1 with a texturas element
    float TEXscaleX = 1.0f, TEXscaleY = 1.0f;
    int milTime = 0;
    int multiple = 0;                 // as written in the file
    std::vector<std::string> frames;  // the TexturasID that multiple asks for (as many as there are)
};

struct FlagData {
    std::string name;
    int value = 0;
};

// A condition or a consequence of a known kind with its values (a, b, c by position)
struct EventPartData {
    int kind = 0;
    int a = 0, b = 0, c = 0;
    std::string name;
};

// Everything read for one slot of an object's EventSet
struct EventData {
    int slot = 0;
    std::vector<EventPartData> conditions;
    std::vector<EventPartData> consequences;
};

struct ObjectData {
    int kind = 0;
    object_pose pose = {};
    std::vector<std::string> materials;
    int promediado = 0, wireFrame = 0;
    float scaleX = 1.0f, scaleY = 1.0f, scaleZ = 1.0f;
    std::vector<EventData> events;    // one per slot used, in the order first met
    std::array<int, MAX_PARAMETERS> parameters = {};
};

struct SceneData {
    std::vector<std::string> textures;
    std::vector<MaterialData> materials;
    std::vector<FlagData> flags;
    std::vector<ObjectData> objects;  // objects of known kinds only
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Reads the document whose root element is root (escena). 1 with *scene filled; 0 with the
// reason in *error when the document is refused
int readSceneDocument(const xmlNode *root, SceneData *scene, std::string *error);

// Reads only the texture and material sections of the document (textures and materials of
// *scene filled, the rest left empty); the same refusals as readSceneDocument for them
int readSceneMaterialSections(const xmlNode *root, SceneData *scene, std::string *error);
