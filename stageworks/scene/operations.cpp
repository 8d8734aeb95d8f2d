/**********************************************************************************************
*
*   operations - moving, rotating and scaling one scene object
*
**********************************************************************************************/
#include "operations.h"

#include "camera.h"
#include "generators.h"
#include "objects.h"
#include "parameters.h"

#include <cmath>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
namespace {

// The value an editing step changes
enum Field { NONE, POS_X, POS_Y, POS_Z, YAW, PITCH, ROLL, SCALE_X, SCALE_Y, SCALE_Z };

// One cell of a direction table: the field and the sign of the step
struct change {
    Field field;
    float sign;
};

// A row per direction case, a column per heading sector
using direction_row = change[4];

}  // namespace

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const direction_row moveLeft = {{POS_X, -1}, {POS_Z, 1}, {POS_X, 1}, {POS_Z, -1}};
static const direction_row moveRight = {{POS_X, 1}, {POS_Z, -1}, {POS_X, -1}, {POS_Z, 1}};
static const direction_row moveUpSteep = {{POS_Z, -1}, {POS_X, -1}, {POS_Z, 1}, {POS_X, 1}};
static const direction_row moveDownSteep = {{POS_Z, 1}, {POS_X, 1}, {POS_Z, -1}, {POS_X, -1}};

static const direction_row rotateLeftLevel = {{ROLL, -1}, {YAW, 1}, {ROLL, 1}, {YAW, 1}};
static const direction_row rotateRightLevel = {{ROLL, 1}, {YAW, -1}, {ROLL, -1}, {YAW, -1}};
static const direction_row rotateUp = {{PITCH, 1}, {ROLL, -1}, {PITCH, -1}, {ROLL, 1}};
static const direction_row rotateDown = {{PITCH, -1}, {ROLL, 1}, {PITCH, 1}, {ROLL, -1}};

static const direction_row scaleLeft = {{SCALE_X, -1}, {SCALE_Z, -1}, {SCALE_X, -1}, {SCALE_Z, -1}};
static const direction_row scaleRight = {{SCALE_X, 1}, {SCALE_Z, 1}, {SCALE_X, 1}, {SCALE_Z, 1}};
static const direction_row scaleUpSteep = {{SCALE_Z, -1}, {SCALE_X, -1}, {SCALE_Z, -1}, {SCALE_X, -1}};
static const direction_row scaleDownSteep = {{SCALE_Z, 1}, {SCALE_X, 1}, {SCALE_Z, 1}, {SCALE_X, 1}};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Angle wrap of the add-to operations
static float wrap_angle(float angle)
{
    if (angle < 0.0f) angle += 360.0f;
    if (angle > 360.0f) angle -= 360.0f;
    return angle;
}

// The cell of the row for the camera's heading; NONE outside every sector
static change pick(const direction_row &row, const Camera *camera)
{
    int sector = heading_sector(camera->yaw);
    if (sector < 0) return change{NONE, 0.0f};
    return row[sector];
}

// Adds delta to the field with its add-to rule and snaps the result; 1 when a field was named
static int apply_change(primitiva *o, change c, float s)
{
    float delta = c.sign * s;
    switch (c.field) {
    case POS_X: add_x(o, delta); o->pose.x = snap_hundredths(o->pose.x); return 1;
    case POS_Y: add_y(o, delta); o->pose.y = snap_hundredths(o->pose.y); return 1;
    case POS_Z: add_z(o, delta); o->pose.z = snap_hundredths(o->pose.z); return 1;
    case YAW: add_yaw(o, delta); o->pose.yaw = snap_hundredths(o->pose.yaw); return 1;
    case PITCH: add_pitch(o, delta); o->pose.pitch = snap_hundredths(o->pose.pitch); return 1;
    case ROLL: add_roll(o, delta); o->pose.roll = snap_hundredths(o->pose.roll); return 1;
    case SCALE_X: add_scale_x(o, delta); o->scaleX = snap_hundredths(o->scaleX); return 1;
    case SCALE_Y: add_scale_y(o, delta); o->scaleY = snap_hundredths(o->scaleY); return 1;
    case SCALE_Z: add_scale_z(o, delta); o->scaleZ = snap_hundredths(o->scaleZ); return 1;
    default: return 0;
    }
}

// Raises every scale factor below the editor's minimum to it
static void floor_scales(primitiva *o)
{
    if (o->scaleX < MIN_EDIT_SCALE) o->scaleX = MIN_EDIT_SCALE;
    if (o->scaleY < MIN_EDIT_SCALE) o->scaleY = MIN_EDIT_SCALE;
    if (o->scaleZ < MIN_EDIT_SCALE) o->scaleZ = MIN_EDIT_SCALE;
}

// 1 when the two parameter records describe the same geometry (switches aside)
static bool same_geometry(int kind, const caract_record *a, const caract_record *b)
{
    const kind_parameters *info = kind_parameter_info(kind);
    if (info == nullptr || a == nullptr || b == nullptr) return false;
    for (int i = 0; i < info->count; i++) {
        if (i == info->solidoField || i == info->cullFaceField) continue;
        if (a->values[i] != b->values[i]) return false;
    }
    return true;
}

//----------------------------------------------------------------------------------
// Public functions: snapping and camera sectors
//----------------------------------------------------------------------------------
float snap_hundredths(float v)
{
    // NOTE: negative values round away from zero too, so 0.004 - 0.01 = -0.006 stores -0.01
    if (v >= 0.0f) return (float)(std::trunc(((double)v + 0.005) * 100.0) / 100.0);
    return (float)(std::trunc(((double)v - 0.005) * 100.0) / 100.0);
}

int heading_sector(float yaw)
{
    if ((yaw >= 315.0f && yaw < 360.0f) || (yaw >= 0.0f && yaw < 45.0f)) return 0;
    if (yaw >= 45.0f && yaw < 135.0f) return 1;
    if (yaw >= 135.0f && yaw < 225.0f) return 2;
    if (yaw >= 225.0f && yaw < 315.0f) return 3;
    return -1;
}

int pitch_is_level(float pitch) { return (pitch >= -45.0f && pitch < 45.0f) ? 1 : 0; }

//----------------------------------------------------------------------------------
// Public functions: field updates
//----------------------------------------------------------------------------------
void add_x(primitiva *o, float delta) { o->pose.x += delta; }
void add_y(primitiva *o, float delta) { o->pose.y += delta; }
void add_z(primitiva *o, float delta) { o->pose.z += delta; }
void add_yaw(primitiva *o, float delta) { o->pose.yaw = wrap_angle(o->pose.yaw + delta); }
void add_pitch(primitiva *o, float delta) { o->pose.pitch = wrap_angle(o->pose.pitch + delta); }
void add_roll(primitiva *o, float delta) { o->pose.roll = wrap_angle(o->pose.roll + delta); }
void add_scale_x(primitiva *o, float delta) { o->scaleX = std::fmax(o->scaleX + delta, 0.0f); }
void add_scale_y(primitiva *o, float delta) { o->scaleY = std::fmax(o->scaleY + delta, 0.0f); }
void add_scale_z(primitiva *o, float delta) { o->scaleZ = std::fmax(o->scaleZ + delta, 0.0f); }

//----------------------------------------------------------------------------------
// Public functions: editing steps
//----------------------------------------------------------------------------------
int move_object(primitiva *object, const Camera *camera, float amount, float direction)
{
    float s = amount * OPERATION_STEP;
    bool level = pitch_is_level(camera->pitch);
    if (direction == DIRECTION_LEFT) return apply_change(object, pick(moveLeft, camera), s);
    if (direction == DIRECTION_RIGHT) return apply_change(object, pick(moveRight, camera), s);
    if (direction == DIRECTION_UP) {
        return apply_change(object, level ? change{POS_Y, 1} : pick(moveUpSteep, camera), s);
    }
    if (direction == DIRECTION_DOWN) {
        return apply_change(object, level ? change{POS_Y, -1} : pick(moveDownSteep, camera), s);
    }
    return 0;
}

int rotate_object(primitiva *object, const Camera *camera, float amount, float direction)
{
    float s = amount * OPERATION_STEP;
    bool level = pitch_is_level(camera->pitch);
    if (direction == DIRECTION_LEFT) {
        return apply_change(object, level ? pick(rotateLeftLevel, camera) : change{YAW, -1}, s);
    }
    if (direction == DIRECTION_RIGHT) {
        return apply_change(object, level ? pick(rotateRightLevel, camera) : change{YAW, 1}, s);
    }
    if (direction == DIRECTION_UP) return apply_change(object, pick(rotateUp, camera), s);
    if (direction == DIRECTION_DOWN) return apply_change(object, pick(rotateDown, camera), s);
    return 0;
}

int scale_object_uniform(primitiva *object, float amount, float direction)
{
    float s = amount * OPERATION_STEP;
    float sign;
    if (direction == DIRECTION_UP || direction == DIRECTION_RIGHT) sign = 1.0f;
    else if (direction == DIRECTION_LEFT || direction == DIRECTION_DOWN) sign = -1.0f;
    else return 0;
    apply_change(object, change{SCALE_X, sign}, s);
    apply_change(object, change{SCALE_Y, sign}, s);
    apply_change(object, change{SCALE_Z, sign}, s);
    if (sign < 0.0f) floor_scales(object);
    return 1;
}

int scale_object_axis(primitiva *object, const Camera *camera, float amount, float direction)
{
    float s = amount * OPERATION_STEP;
    bool level = pitch_is_level(camera->pitch);
    int changed = 0;
    if (direction == DIRECTION_LEFT) changed = apply_change(object, pick(scaleLeft, camera), s);
    else if (direction == DIRECTION_RIGHT) changed = apply_change(object, pick(scaleRight, camera), s);
    else if (direction == DIRECTION_UP)
        changed = apply_change(object, level ? change{SCALE_Y, 1} : pick(scaleUpSteep, camera), s);
    else if (direction == DIRECTION_DOWN)
        changed = apply_change(object, level ? change{SCALE_Y, -1} : pick(scaleDownSteep, camera), s);
    if (changed) floor_scales(object);
    return changed;
}

//----------------------------------------------------------------------------------
// Public functions: geometry
//----------------------------------------------------------------------------------
void rescale_geometry(primitiva *object, float scaleX, float scaleY, float scaleZ)
{
    object->scaleX = scaleX;
    object->scaleY = scaleY;
    object->scaleZ = scaleZ;
    float dx = scaleX - 1.0f, dy = scaleY - 1.0f, dz = scaleZ - 1.0f;
    // NOTE: factors of 1 would leave every finite coordinate as it is (v + 0 * v is v, bit for
    // bit), so most objects of a scene file are not walked at all
    if (dx == 0.0f && dy == 0.0f && dz == 0.0f) return;
    for (cara *face = object->faces; face != nullptr; face = face->next) {
        for (arista *edge = face->ring; edge != nullptr; edge = edge->next) {
            vertice *v = edge->vertex;
            if (v == nullptr) continue;
            v->x = v->x + dx * v->x;
            v->y = v->y + dy * v->y;
            v->z = v->z + dz * v->z;
        }
    }
}

int reset_to_reference(primitiva *object)
{
    int kind = object->objeto3D;
    if (kind < 0 || kind >= PRIMITIVE_KINDS) return 0;
    const primitiva *sample = sample_object(kind);
    if (sample != nullptr && (object->caract == nullptr || same_geometry(kind, object->caract, sample->caract))) {
        copy_vertex_coordinates(object, sample);
        return 1;
    }
    // NOTE: an object with other parameters (read from a file) has its own reference shape
    primitiva reference = {};
    if (object->caract == nullptr || !build_primitive(kind, object->caract->values, &reference)) {
        reference = generate_kind(kind);
    }
    copy_vertex_coordinates(object, &reference);
    free_primitiva(&reference);
    return 1;
}

void finish_scaling(primitiva *object)
{
    float sx = object->scaleX, sy = object->scaleY, sz = object->scaleZ;
    reset_to_reference(object);
    rescale_geometry(object, sx, sy, sz);
    object->dirty = 1;
}

void reset_scale(primitiva *object)
{
    reset_to_reference(object);
    object->scaleX = 1.0f;
    object->scaleY = 1.0f;
    object->scaleZ = 1.0f;
    object->dirty = 1;
}
