/**********************************************************************************************
*
*   drags - editing the selected object with the keys and the mouse
*
*   One editing step (move, rotate, uniform or axis scale) of a screen direction and an
*   amount; mouse drags turn each pointer step into such steps, faster for far objects than
*   for near ones, and with the End key held lock themselves to the first axis the pointer
*   moves along (dragAxisLock: 0 free, 1 End held, 2 locked to y, 3 locked to x). Also the
*   "0" reset, the end of a press on an object and the end of a scaling.
*
*   DEPENDENCIES: app_state, camera (base); operations (scene); bindings (cursor operation);
*                 edit_history (the end of a drag step)
*
**********************************************************************************************/
#pragma once

struct primitiva;
struct Camera;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// One editing step of the operation (Move, Rotate, ScaleUniform, ScaleAxis) on the object;
// other operations and a null object change nothing. 1 when something changed
int applyObjectOperation(int operation, primitiva *object, const Camera *camera, float amount, float direction);

// Rebuilds a scaled object's vertices from its reference shape and its factors (null: nothing)
void finishObjectScaling(primitiva *object);

// The amount of one pointer step of d pixels for the operation, the object being distance
// units from the camera (signed like d)
float dragAmount(int operation, float distance, int d);

// Distance from the camera's eye to the object's position
float distanceToObject(const Camera *camera, const primitiva *object);

// One drag step of the selected object to the pointer position (x, y)
void dragObject(int operation, int x, int y);

// The left button went up over a held object
void endObjectPress();

// The "0" key: back to the camera position, to no rotation or to unit scale by operation
void resetForOperation(primitiva *object, const Camera *camera);

// End key pressed and released
void pressAxisLock();
void releaseAxisLock();
