/**********************************************************************************************
*
*   engine - the event engine of the web player: play mode without a window
*
*   The scene's behaviour as stageworks --play runs it, built from the same sources as the
*   program (flags, events, play mode, object poses and materials, the camera's walking and
*   looking) without GL: a page feeds it the scene's behaviour fields (scene.json), the keys,
*   the pointer motion and the object clicked, and draws what it reports. The frame keeps the
*   player's order: the camera update when the camera moves (distance conditions re-tested),
*   the click, then one step of every running event.
*
*   Loading stages the scene in plain records (engineBegin, engineAdd...) and builds every
*   table at engineEnd, in the order and the way the scene file's reader builds them.
*
*   DEPENDENCIES: events (flags, event sets, play), scene (objects, materials, usage table,
*                 operations), base (app_state, camera)
*
**********************************************************************************************/
#pragma once

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Public functions: loading a scene
//----------------------------------------------------------------------------------

// Starts staging a new scene (what was staged before is dropped)
void engineBegin();

// The flags in the order that rebuilds the flag table (each added as the reader adds it)
void engineAddFlag(const char *name, int value);

// A material, in the material table's iteration order (the table is rebuilt from the last
// to the first, so that it iterates in this order again), with or without a texture block
// (multiple < 0: none); then its frames, in order
void engineAddMaterial(const char *name, int texturado, int multiple);
void engineAddMaterialFrame(const char *path);

// An object of the next slot with its pose; then its material names and the conditions and
// consequences of its events (event number 0 to 15), each in order
void engineAddObject(int kind, const float pose[6]);
void engineAddObjectMaterial(const char *name);
void engineAddCondition(int event, int kind, int a, const char *name);
void engineAddConsequence(int event, int kind, int a, int b, int c, const char *name);

// The start pose of the player's camera
void engineSetStartCamera(const float pose[6]);

// Ends play mode and builds the tables from the staged records: 1, or 0 with a message when
// the records do not make a scene (the engine is then left as it was)
int engineEnd(std::string *error);

// The camera pose play starts from (engineEnd passes the scene's)
void engineUseStartCamera(const float pose[6]);

//----------------------------------------------------------------------------------
// Public functions: playing
//----------------------------------------------------------------------------------

// Play mode as the player starts it (the camera at its start pose); and leaving it
void engineStartPlay();
void engineStopPlay();

// A special key pressed or released: the arrows (100 to 103) walk while looking around
void engineKey(int code, int pressed);

// A typed character (there is no release): the letters F (fly), I (invert mouse) and A, S
// (field of view) act in every mode, C, E and L are taken and do nothing here; any other
// character meets the key tables as a press of the special key with its code, so "d" (100)
// and "g" (103) press the left and down arrows, as in the player
void engineCharacter(int code);

// Pointer motion of dx, dy screen pixels while looking around
void engineMouseLook(int dx, int dy);

// Places the eye; the next frame takes it as a camera move
void engineSetCamera(const float pose[6]);

// The frame in two halves: the camera update (when it moves or was placed), then, after any
// click (engineActivate), one step of every running event
void engineBeginFrame();
void engineActivate(int slot);
void engineEndFrame();

// Slots whose pose or material changed since the last engineBeginFrame (or by play start or
// end)
const std::vector<int> &engineChangedObjects();

//----------------------------------------------------------------------------------
// Public functions: the state
//----------------------------------------------------------------------------------

// The behaviour state as one JSON document: play mode, the camera, running events with their
// current links and loop counters, the running and satisfied marks, flags in table order,
// every object's pose and first material, the texture turns of the textured materials.
// Floats are written with nine significant digits (the very same 32-bit value reads back)
std::string engineStateJson();
