/**********************************************************************************************
*
*   operations - moving, rotating and scaling one scene object
*
*   Every editing step names a screen direction (90 left, 270 right, 0 up, 180 down) and an
*   amount; the step s = amount x 0.1 changes the world axis or the angle that follows what
*   the viewer sees, chosen by the camera's heading sector (H0 [315, 360) and [0, 45), H1
*   [45, 135), H2 [135, 225), H3 [225, 315)) and whether its pitch is level ([-45, 45)) or
*   steep. Every changed value is snapped to hundredths. Moves and rotations change only the
*   pose; scaling changes the factors, and finish_scaling rebuilds the vertices from the
*   object's reference shape.
*
*   DEPENDENCIES: records, parameters, generators, objects (sample objects), camera (Camera)
*
**********************************************************************************************/
#pragma once

#include "records.h"

struct Camera;

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr float DIRECTION_UP = 0.0f;
constexpr float DIRECTION_LEFT = 90.0f;
constexpr float DIRECTION_DOWN = 180.0f;
constexpr float DIRECTION_RIGHT = 270.0f;

constexpr float OPERATION_STEP = 0.1f;     // s = amount x OPERATION_STEP
constexpr float MIN_EDIT_SCALE = 0.01f;    // the editor never scales below this

//----------------------------------------------------------------------------------
// Public functions: snapping and camera sectors
//----------------------------------------------------------------------------------

// v rounded half away from zero to hundredths
float snap_hundredths(float v);

// Heading sector 0 to 3 of a camera yaw, or -1 (a yaw of exactly 360 lies in none)
int heading_sector(float yaw);

// 1 when the pitch lies in [-45, 45)
int pitch_is_level(float pitch);

//----------------------------------------------------------------------------------
// Public functions: field updates
//----------------------------------------------------------------------------------
void add_x(primitiva *o, float delta);
void add_y(primitiva *o, float delta);
void add_z(primitiva *o, float delta);

// Addition, then below 0 gets +360 and above 360 gets -360 (360 itself stays)
void add_yaw(primitiva *o, float delta);
void add_pitch(primitiva *o, float delta);
void add_roll(primitiva *o, float delta);

// Addition; a result below 0 becomes 0
void add_scale_x(primitiva *o, float delta);
void add_scale_y(primitiva *o, float delta);
void add_scale_z(primitiva *o, float delta);

//----------------------------------------------------------------------------------
// Public functions: editing steps (1 when something changed, 0 otherwise)
//----------------------------------------------------------------------------------
int move_object(primitiva *object, const Camera *camera, float amount, float direction);
int rotate_object(primitiva *object, const Camera *camera, float amount, float direction);
int scale_object_uniform(primitiva *object, float amount, float direction);
int scale_object_axis(primitiva *object, const Camera *camera, float amount, float direction);

//----------------------------------------------------------------------------------
// Public functions: geometry
//----------------------------------------------------------------------------------

// Stores the factors and multiplies every ring vertex coordinate by its axis factor
// (v + (f - 1) v); vertex normals stay as they are
void rescale_geometry(primitiva *object, float scaleX, float scaleY, float scaleZ);

// Puts the object's vertices back to the unscaled shape of its own parameters (the sample
// object's when the parameters are the defaults); 1, or 0 for an object without a valid kind
int reset_to_reference(primitiva *object);

// The end of every scaling step: reference shape, current factors applied, dirty
void finish_scaling(primitiva *object);

// Back to unit scale: reference shape, factors 1, dirty
void reset_scale(primitiva *object);
