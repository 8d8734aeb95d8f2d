/**********************************************************************************************
*
*   drags - editing the selected object with the keys and the mouse
*
**********************************************************************************************/
#include "drags.h"

#include "app_state.h"
#include "bindings.h"
#include "camera.h"
#include "edit_history.h"
#include "operations.h"
#include "records.h"

#include <GL/freeglut.h>
#include <cmath>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int AXIS_FREE = 0;
static const int AXIS_END_HELD = 1;
static const int AXIS_LOCKED_Y = 2;
static const int AXIS_LOCKED_X = 3;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// 1 for the two scaling operations
static int isScaling(int operation) { return operation == ScaleUniform || operation == ScaleAxis; }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int applyObjectOperation(int operation, primitiva *object, const Camera *camera, float amount, float direction)
{
    if (object == nullptr) return 0;
    switch (operation) {
    case Move: return move_object(object, camera, amount, direction);
    case Rotate: return rotate_object(object, camera, amount, direction);
    case ScaleUniform: return scale_object_uniform(object, amount, direction);
    case ScaleAxis: return scale_object_axis(object, camera, amount, direction);
    default: return 0;
    }
}

void finishObjectScaling(primitiva *object)
{
    if (object != nullptr) finish_scaling(object);
}

float dragAmount(int operation, float distance, int d)
{
    float step = (float)d / 10.0f;
    switch (operation) {
    case Move: return distance / 10.0f * step;
    case Rotate: return (float)d * 10.0f;
    case ScaleUniform: return distance / 100.0f * step;
    case ScaleAxis: return distance / 20.0f * step;
    default: return 0.0f;
    }
}

float distanceToObject(const Camera *camera, const primitiva *object)
{
    float dx = get_x(object) - camera->x;
    float dy = get_y(object) - camera->y;
    float dz = get_z(object) - camera->z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void dragObject(int operation, int x, int y)
{
    primitiva *object = getSelectedObject();
    const Camera *camera = getCamera();
    // NOTE: a hit whose name matched no object leaves the press held with nothing to drag
    float distance = object != nullptr ? distanceToObject(camera, object) : 0.0f;

    if (getDragAxisLock() != AXIS_LOCKED_X) {
        int dy = y - getLastMouseY();
        if (dy != 0) {
            if (getDragAxisLock() == AXIS_END_HELD) setDragAxisLock(AXIS_LOCKED_Y);
            float amount = std::fabs(dragAmount(operation, distance, dy));
            applyObjectOperation(operation, object, camera, amount, dy < 0 ? DIRECTION_UP : DIRECTION_DOWN);
        }
    }
    if (getDragAxisLock() != AXIS_LOCKED_Y) {
        int dx = x - getLastMouseX();
        if (dx != 0) {
            if (getDragAxisLock() == AXIS_END_HELD) setDragAxisLock(AXIS_LOCKED_X);
            float amount = std::fabs(dragAmount(operation, distance, dx));
            applyObjectOperation(operation, object, camera, amount, dx < 0 ? DIRECTION_LEFT : DIRECTION_RIGHT);
        }
    }
    setLastMouseX(x);
    setLastMouseY(y);
}

void endObjectPress()
{
    bindingOps().setCursor(GLUT_CURSOR_LEFT_ARROW);
    setObjectHeld(0);
    if (getDragAxisLock() == AXIS_LOCKED_Y || getDragAxisLock() == AXIS_LOCKED_X) setDragAxisLock(AXIS_END_HELD);
    if (isScaling(getCurrentOperation())) finishObjectScaling(getSelectedObject());
    endDragEdit();
}

void resetForOperation(primitiva *object, const Camera *camera)
{
    if (object == nullptr) return;
    switch (getCurrentOperation()) {
    case Move:
        set_x(object, camera->x);
        set_y(object, camera->y);
        set_z(object, camera->z);
        break;
    case Rotate:
        set_yaw(object, 0.0f);
        set_pitch(object, 0.0f);
        set_roll(object, 0.0f);
        break;
    case ScaleUniform:
    case ScaleAxis:
        reset_scale(object);
        break;
    default:
        break;
    }
}

void pressAxisLock()
{
    if (getDragAxisLock() == AXIS_FREE) setDragAxisLock(AXIS_END_HELD);
}

void releaseAxisLock() { setDragAxisLock(AXIS_FREE); }
