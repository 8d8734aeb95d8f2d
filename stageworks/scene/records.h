/**********************************************************************************************
*
*   records - the records of a scene object and their field accessors
*
*   A scene object (primitiva) is one parametric solid: a list of faces (cara), each with a
*   ring of edge nodes (arista) pointing at vertex records (vertice) and an optional list of
*   holes (agujero); its pose, kind, parameter record, drawing flags, scale factors, material
*   names and dirty flag. Every face owns its own vertex records. Material name lists are
*   pair_node lists whose values are private copies of the names (malloc'd C strings).
*
*   Generated records are allocated zero-filled with calloc, one by one. A copy holds its
*   faces, holes, edges and vertices in one block (geometry) instead. Both kinds are released
*   with free_primitiva.
*
*   DEPENDENCIES: hash_table (pair_node lists)
*
**********************************************************************************************/
#pragma once

#include "hash_table.h"

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// The twelve primitive kinds (the value of objeto3D)
enum PrimitiveKind {
    KIND_RECTANGLE = 0, KIND_TRIANGLE = 1, KIND_PARALLELEPIPED = 2, KIND_PYRAMID = 3,
    KIND_CUBE = 4, KIND_CIRCLE = 5, KIND_HALF_CIRCLE = 6, KIND_TRAPEZOID = 7,
    KIND_CYLINDER = 8, KIND_HALF_CYLINDER = 9, KIND_SPHERE = 10, KIND_HALF_SPHERE = 11
};
constexpr int PRIMITIVE_KINDS = 12;

// Largest number of integer parameters of any kind
constexpr int MAX_PARAMETERS = 7;

// Name of the material every object gets when none was chosen
constexpr const char *DEFAULT_MATERIAL_NAME = "(default)";

// Position (world units, Y up) and orientation (degrees); same shape as the camera's first six
struct object_pose {
    float x, y, z;
    float yaw, pitch, roll;
};

// The integer construction parameters of one object, in the field order of its kind
// (see parameters.h for the names, defaults and field indices)
struct caract_record {
    int values[MAX_PARAMETERS];
};

struct vertice {
    float x, y, z;
    float nx, ny, nz;   // averaged vertex normal
};

// One edge of a ring: its start vertex (nextVertex, a copy of the following vertex, is kept
// in the record's shape but never made: nothing reads it)
struct arista {
    vertice *vertex;
    vertice *nextVertex;
    arista *next;
};

struct agujero {
    arista *ring;
    int numAristas;
    agujero *next;
};

struct cara {
    arista *ring;
    agujero *holes;
    int numVertices;
    int group;
    float normal[3];
    cara *next;
    pair_node *materials;   // a material for this face alone; null means the object's
};

struct primitiva {
    int nameBase;
    cara *faces;
    object_pose pose;
    int numCaras;
    int objeto3D;
    caract_record *caract;
    int wireFrame;
    int promediado;
    float scaleX, scaleY, scaleZ;
    pair_node *materials;   // the first name is the object's material
    int dirty;
    void *geometry;   // a copy's faces, holes, edges and vertices in one block; null: each allocated alone
};

// A texture coordinate (s, t)
struct tex_coord {
    float s, t;
};

//----------------------------------------------------------------------------------
// Public functions: construction and release
//----------------------------------------------------------------------------------

// A zero-filled record with scale 1 and dirty 1
primitiva new_primitiva();

// A zero-filled edge node whose vertex is a zero-filled record in the same block (freed
// with the edge by free_faces)
arista *new_edge_block();

// Frees faces, rings, vertices, next-vertex copies, holes, face and object material names and
// the parameter record, then resets the record to zero (not to the new_primitiva defaults)
void free_primitiva(primitiva *object);

// Frees one face list whose records were allocated one by one (with everything it owns) and
// empties it
void free_faces(cara **faces);

// Frees a list of owned names and empties it
void free_name_list(pair_node **names);

// A deep copy of an object record: faces with their rings, vertices (normals included),
// holes and material names, the parameter record and the object's material names. The faces,
// holes, edges and vertices are made in one block, in the order they are walked. 1, or 0
// when memory ran out (the copy is then freed and left zero)
int copy_primitiva(const primitiva *source, primitiva *copy);

// Copies the vertex coordinates of source into target, face by face and edge by edge, as far
// as both face lists and both rings reach; returns the number of vertices copied
int copy_vertex_coordinates(primitiva *target, const primitiva *source);

// Number of faces actually in the face list
int face_list_length(const primitiva *object);

//----------------------------------------------------------------------------------
// Public functions: material names (each node owns a copy of its name)
//----------------------------------------------------------------------------------

// Appends a copy of name; 1 on success, 0 when out of memory or name is null
int append_material_name(primitiva *object, const char *name);

// Replaces the first name by a copy of name (appends when the list is empty); 1 or 0
int set_first_material_name(primitiva *object, const char *name);

// The object's first material name, or null when it has none
const char *first_material_name(const primitiva *object);

// Name at position index of the list, or null
const char *material_name_at(const primitiva *object, int index);

int material_name_count(const primitiva *object);

//----------------------------------------------------------------------------------
// Public functions: field accessors
//----------------------------------------------------------------------------------
int get_name_base(const primitiva *o);          void set_name_base(primitiva *o, int value);
cara *get_faces(const primitiva *o);            void set_faces(primitiva *o, cara *value);
object_pose get_pose(const primitiva *o);       void set_pose(primitiva *o, const object_pose &value);
float get_x(const primitiva *o);                void set_x(primitiva *o, float value);
float get_y(const primitiva *o);                void set_y(primitiva *o, float value);
float get_z(const primitiva *o);                void set_z(primitiva *o, float value);
float get_yaw(const primitiva *o);              void set_yaw(primitiva *o, float value);
float get_pitch(const primitiva *o);            void set_pitch(primitiva *o, float value);
float get_roll(const primitiva *o);             void set_roll(primitiva *o, float value);
int get_num_caras(const primitiva *o);          void set_num_caras(primitiva *o, int value);
int get_kind(const primitiva *o);               void set_kind(primitiva *o, int value);
caract_record *get_caract(const primitiva *o);  void set_caract(primitiva *o, caract_record *value);
int get_wire_frame(const primitiva *o);         void set_wire_frame(primitiva *o, int value);
int get_promediado(const primitiva *o);         void set_promediado(primitiva *o, int value);
float get_scale_x(const primitiva *o);          void set_scale_x(primitiva *o, float value);
float get_scale_y(const primitiva *o);          void set_scale_y(primitiva *o, float value);
float get_scale_z(const primitiva *o);          void set_scale_z(primitiva *o, float value);
pair_node *get_materials(const primitiva *o);
int get_dirty(const primitiva *o);              void set_dirty(primitiva *o, int value);
