/**********************************************************************************************
*
*   records - the records of a scene object and their field accessors
*
**********************************************************************************************/
#include "records.h"

#include <cstddef>  // Required for: offsetof
#include <cstdint>  // Required for: uintptr_t
#include <cstdlib>
#include <cstring>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// An edge node and its vertex record in one block (one allocation instead of two for each
// of the many vertices of a large scene)
struct edge_block {
    arista edge;
    vertice vertex;
};

// True when the edge's vertex record lies in the edge's own block
static bool vertex_in_block(const arista *edge)
{
    return (uintptr_t)edge->vertex == (uintptr_t)edge + offsetof(edge_block, vertex);
}

// Frees a ring of edge nodes with both vertex records of every node
static void free_ring(arista **ring)
{
    arista *edge = *ring;
    while (edge != nullptr) {
        arista *next = edge->next;
        // NOTE: a vertex record allocated on its own can never start inside the edge's block
        if (!vertex_in_block(edge)) free(edge->vertex);
        free(edge->nextVertex);
        free(edge);
        edge = next;
    }
    *ring = nullptr;
}

// Frees a hole list with its rings
static void free_holes(agujero **holes)
{
    agujero *hole = *holes;
    while (hole != nullptr) {
        agujero *next = hole->next;
        free_ring(&hole->ring);
        free(hole);
        hole = next;
    }
    *holes = nullptr;
}

// A malloc'd copy of text
static char *copy_text(const char *text)
{
    size_t length = strlen(text);
    char *copy = (char *)malloc(length + 1);
    if (copy != nullptr) memcpy(copy, text, length + 1);
    return copy;
}

// Hands out the records of a block copy one after another, in the order they are walked
struct block_cursor {
    char *next;
};

// NOTE: every record of a block starts on a pointer boundary: each record size is a multiple
// of the pointer size
static_assert(sizeof(cara) % alignof(void *) == 0 && sizeof(agujero) % alignof(void *) == 0 &&
                  sizeof(edge_block) % alignof(void *) == 0 && sizeof(vertice) % alignof(void *) == 0,
              "block records keep pointer alignment");

// The next record of type T in the block (its fields are set by the caller)
template <typename T> static T *take(block_cursor *cursor)
{
    T *record = (T *)cursor->next;
    cursor->next += sizeof(T);
    return record;
}

// The bytes a block copy of a ring takes: an edge with its vertex each, and a next-vertex
// copy where there is one
static size_t ring_bytes(const arista *ring)
{
    size_t bytes = 0;
    for (; ring != nullptr; ring = ring->next)
        bytes += sizeof(edge_block) + (ring->nextVertex != nullptr ? sizeof(vertice) : 0);
    return bytes;
}

// The bytes a block copy of a face list takes
static size_t face_list_bytes(const cara *faces)
{
    size_t bytes = 0;
    for (; faces != nullptr; faces = faces->next) {
        bytes += sizeof(cara) + ring_bytes(faces->ring);
        for (const agujero *hole = faces->holes; hole != nullptr; hole = hole->next)
            bytes += sizeof(agujero) + ring_bytes(hole->ring);
    }
    return bytes;
}

// A copy of a ring in the block, every vertex record copied (a next-vertex copy too where
// there is one)
static arista *copy_ring(const arista *from, block_cursor *cursor)
{
    // NOTE: the cursor is kept in a local while the records are written, so that it need not
    // be read back after every store into the block
    char *next = cursor->next;
    arista *ring = nullptr;
    arista **tail = &ring;
    for (; from != nullptr; from = from->next) {
        edge_block *block = (edge_block *)next;
        next += sizeof(edge_block);
        arista *edge = &block->edge;
        const vertice *vertex = from->vertex;
        edge->vertex = nullptr;
        if (vertex != nullptr) {
            block->vertex = *vertex;
            edge->vertex = &block->vertex;
        }
        edge->nextVertex = nullptr;
        if (from->nextVertex != nullptr) {
            edge->nextVertex = (vertice *)next;
            next += sizeof(vertice);
            *edge->nextVertex = *from->nextVertex;
        }
        *tail = edge;
        tail = &edge->next;
    }
    *tail = nullptr;
    cursor->next = next;
    return ring;
}

// A copy of a list of owned names
static bool copy_name_list(const pair_node *from, pair_node **to)
{
    *to = nullptr;
    for (; from != nullptr; from = from->next) {
        char *name = from->value ? copy_text((const char *)from->value) : nullptr;
        if ((from->value != nullptr && name == nullptr) || list_append(to, name) == nullptr) {
            free(name);
            return false;
        }
    }
    return true;
}

// A copy of a face list in the block (face material names are copied on their own); false
// when memory ran out
static bool copy_faces(const cara *from, cara **to, block_cursor *cursor)
{
    *to = nullptr;
    cara **tail = to;
    for (; from != nullptr; from = from->next) {
        cara *face = take<cara>(cursor);
        *face = *from;
        face->holes = nullptr;
        face->materials = nullptr;
        face->next = nullptr;
        *tail = face;
        tail = &face->next;
        face->ring = copy_ring(from->ring, cursor);
        agujero **holeTail = &face->holes;
        for (const agujero *hole = from->holes; hole != nullptr; hole = hole->next) {
            agujero *copy = take<agujero>(cursor);
            copy->numAristas = hole->numAristas;
            copy->next = nullptr;
            *holeTail = copy;
            holeTail = &copy->next;
            copy->ring = copy_ring(hole->ring, cursor);
        }
        if (!copy_name_list(from->materials, &face->materials)) return false;
    }
    return true;
}

//----------------------------------------------------------------------------------
// Public functions: construction and release
//----------------------------------------------------------------------------------
arista *new_edge_block()
{
    edge_block *block = (edge_block *)calloc(1, sizeof(edge_block));
    if (block == nullptr) return nullptr;
    block->edge.vertex = &block->vertex;
    return &block->edge;
}

primitiva new_primitiva()
{
    primitiva object = {};
    object.scaleX = 1.0f;
    object.scaleY = 1.0f;
    object.scaleZ = 1.0f;
    object.dirty = 1;
    return object;
}

void free_faces(cara **faces)
{
    cara *face = *faces;
    while (face != nullptr) {
        cara *next = face->next;
        free_ring(&face->ring);
        free_holes(&face->holes);
        free_name_list(&face->materials);
        free(face);
        face = next;
    }
    *faces = nullptr;
}

void free_name_list(pair_node **names)
{
    for (pair_node *node = *names; node != nullptr; node = node->next) free(node->value);
    list_free(names);
}

void free_primitiva(primitiva *object)
{
    if (object == nullptr) return;
    if (object->geometry != nullptr) {
        // everything but the face material names lives in the block
        for (cara *face = object->faces; face != nullptr; face = face->next) free_name_list(&face->materials);
        free(object->geometry);
        object->faces = nullptr;
    }
    free_faces(&object->faces);
    free_name_list(&object->materials);
    free(object->caract);
    *object = primitiva{};
}

int copy_primitiva(const primitiva *source, primitiva *copy)
{
    *copy = *source;
    copy->faces = nullptr;
    copy->materials = nullptr;
    copy->caract = nullptr;
    copy->geometry = nullptr;
    const size_t bytes = face_list_bytes(source->faces);
    if (bytes > 0) {
        copy->geometry = malloc(bytes);
        if (copy->geometry == nullptr) {
            *copy = primitiva{};
            return 0;
        }
    }
    block_cursor cursor = {(char *)copy->geometry};
    bool copied = copy_faces(source->faces, &copy->faces, &cursor) &&
                  copy_name_list(source->materials, &copy->materials);
    if (copied && source->caract != nullptr) {
        copy->caract = (caract_record *)malloc(sizeof(caract_record));
        if (copy->caract != nullptr) *copy->caract = *source->caract;
        copied = copy->caract != nullptr;
    }
    if (!copied) free_primitiva(copy);
    return copied ? 1 : 0;
}

int copy_vertex_coordinates(primitiva *target, const primitiva *source)
{
    int copied = 0;
    const cara *from = source->faces;
    cara *to = target->faces;
    for (; from != nullptr && to != nullptr; from = from->next, to = to->next) {
        const arista *a = from->ring;
        arista *b = to->ring;
        for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
            if (a->vertex == nullptr || b->vertex == nullptr) continue;
            b->vertex->x = a->vertex->x;
            b->vertex->y = a->vertex->y;
            b->vertex->z = a->vertex->z;
            copied++;
        }
    }
    return copied;
}

int face_list_length(const primitiva *object)
{
    int count = 0;
    for (const cara *face = object->faces; face != nullptr; face = face->next) count++;
    return count;
}

//----------------------------------------------------------------------------------
// Public functions: material names
//----------------------------------------------------------------------------------
int append_material_name(primitiva *object, const char *name)
{
    if (name == nullptr) return 0;
    char *copy = copy_text(name);
    if (copy == nullptr) return 0;
    if (list_append(&object->materials, copy) == nullptr) {
        free(copy);
        return 0;
    }
    return 1;
}

int set_first_material_name(primitiva *object, const char *name)
{
    if (name == nullptr) return 0;
    if (object->materials == nullptr) return append_material_name(object, name);
    char *copy = copy_text(name);
    if (copy == nullptr) return 0;
    free(object->materials->value);
    object->materials->value = copy;
    return 1;
}

const char *first_material_name(const primitiva *object)
{
    return material_name_at(object, 0);
}

const char *material_name_at(const primitiva *object, int index)
{
    if (index < 0) return nullptr;
    const pair_node *node = object->materials;
    for (int i = 0; node != nullptr && i < index; i++) node = node->next;
    return node ? (const char *)node->value : nullptr;
}

int material_name_count(const primitiva *object) { return list_length(object->materials); }

//----------------------------------------------------------------------------------
// Public functions: field accessors
//----------------------------------------------------------------------------------
int get_name_base(const primitiva *o) { return o->nameBase; }
void set_name_base(primitiva *o, int value) { o->nameBase = value; }
cara *get_faces(const primitiva *o) { return o->faces; }
void set_faces(primitiva *o, cara *value) { o->faces = value; }
object_pose get_pose(const primitiva *o) { return o->pose; }
void set_pose(primitiva *o, const object_pose &value) { o->pose = value; }
float get_x(const primitiva *o) { return o->pose.x; }
void set_x(primitiva *o, float value) { o->pose.x = value; }
float get_y(const primitiva *o) { return o->pose.y; }
void set_y(primitiva *o, float value) { o->pose.y = value; }
float get_z(const primitiva *o) { return o->pose.z; }
void set_z(primitiva *o, float value) { o->pose.z = value; }
float get_yaw(const primitiva *o) { return o->pose.yaw; }
void set_yaw(primitiva *o, float value) { o->pose.yaw = value; }
float get_pitch(const primitiva *o) { return o->pose.pitch; }
void set_pitch(primitiva *o, float value) { o->pose.pitch = value; }
float get_roll(const primitiva *o) { return o->pose.roll; }
void set_roll(primitiva *o, float value) { o->pose.roll = value; }
int get_num_caras(const primitiva *o) { return o->numCaras; }
void set_num_caras(primitiva *o, int value) { o->numCaras = value; }
int get_kind(const primitiva *o) { return o->objeto3D; }
void set_kind(primitiva *o, int value) { o->objeto3D = value; }
caract_record *get_caract(const primitiva *o) { return o->caract; }
void set_caract(primitiva *o, caract_record *value) { o->caract = value; }
int get_wire_frame(const primitiva *o) { return o->wireFrame; }
void set_wire_frame(primitiva *o, int value) { o->wireFrame = value; }
int get_promediado(const primitiva *o) { return o->promediado; }
void set_promediado(primitiva *o, int value) { o->promediado = value; }
float get_scale_x(const primitiva *o) { return o->scaleX; }
void set_scale_x(primitiva *o, float value) { o->scaleX = value; }
float get_scale_y(const primitiva *o) { return o->scaleY; }
void set_scale_y(primitiva *o, float value) { o->scaleY = value; }
float get_scale_z(const primitiva *o) { return o->scaleZ; }
void set_scale_z(primitiva *o, float value) { o->scaleZ = value; }
pair_node *get_materials(const primitiva *o) { return o->materials; }
int get_dirty(const primitiva *o) { return o->dirty; }
void set_dirty(primitiva *o, int value) { o->dirty = value; }
