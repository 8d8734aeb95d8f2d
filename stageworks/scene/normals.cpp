/**********************************************************************************************
*
*   normals - building faces, face normals and averaged vertex normals
*
**********************************************************************************************/
#include "normals.h"

#include <charconv>

#include <cmath>  // Required for: nearbyint(), isnan(), signbit()
#include <cstdio>
#include <cstdlib>
#include <cstring>  // Required for: memcpy()

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Appends an occurrence of (vertex, face) under the vertex's position key; 1 or 0
static int record_occurrence(hash_table *table, vertice *vertex, cara *face)
{
    vertex_occurrence *occurrence = (vertex_occurrence *)calloc(1, sizeof(vertex_occurrence));
    if (occurrence == nullptr) return 0;
    occurrence->vertex = vertex;
    occurrence->face = face;

    position_identity key = position_id(vertex->x, vertex->y, vertex->z);
    vertex_occurrence *head = (vertex_occurrence *)hash_table_get(table, (uint32_t)sizeof key, &key);
    if (head != nullptr) {
        while (head->next != nullptr) head = head->next;
        head->next = occurrence;
        return 1;
    }
    if (hash_table_insert(table, occurrence, (uint32_t)sizeof key, &key) != HASH_OK) {
        free(occurrence);
        return 0;
    }
    return 1;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void normalize(float vector[3])
{
    float length = std::sqrt(vector[0] * vector[0] + vector[1] * vector[1] + vector[2] * vector[2]);
    if (length == 0.0f) length = 1.0f;
    vector[0] /= length;
    vector[1] /= length;
    vector[2] /= length;
}

void face_normal(const point3 &p0, const point3 &p1, const point3 &p2, float normal[3])
{
    float ux = p2.x - p1.x, uy = p2.y - p1.y, uz = p2.z - p1.z;
    float vx = p1.x - p0.x, vy = p1.y - p0.y, vz = p1.z - p0.z;
    normal[0] = uy * vz - uz * vy;
    normal[1] = uz * vx - ux * vz;
    normal[2] = ux * vy - uy * vx;
    normalize(normal);
}

std::string position_key(float x, float y, float z)
{
    // NOTE: std::to_chars with fixed precision 6 gives exactly the text of "%f" (correctly
    // rounded, "-0.000000" for -0.0) without the cost of printf; a float takes at most 47
    // characters that way
    char text[160];
    char *end = text;
    for (float value : {x, y, z}) {
        std::to_chars_result result = std::to_chars(end, text + sizeof(text), (double)value, std::chars_format::fixed, 6);
        if (result.ec != std::errc()) break;
        end = result.ptr;
    }
    return std::string(text, (size_t)(end - text));
}

position_identity position_id(float x, float y, float z)
{
    // NOTE: "%f" prints the value rounded to millionths, half to even, with the sign of the
    // value (-0.000000 for a small negative one). A float times 10^6 is exact in a double
    // (24 + 14 significant bits), so rounding that product to an integer the same way, with
    // the sign of zero kept, tells the texts apart exactly; NaNs print by their sign alone
    position_identity id = {};
    float values[3] = {x, y, z};
    for (int i = 0; i < 3; i++) {
        double rounded = std::nearbyint((double)values[i] * 1e6);
        if (std::isnan(rounded)) rounded = std::signbit(rounded) ? -NAN : NAN;
        memcpy(&id.coordinate[i], &rounded, sizeof rounded);
    }
    return id;
}

int build_face(cara *face, const point3 *points, int count, hash_table *vertexTable)
{
    if (count < 3) return 0;
    face_normal(points[0], points[1], points[2], face->normal);

    arista **tail = &face->ring;
    while (*tail != nullptr) tail = &(*tail)->next;

    for (int i = 0; i < count; i++) {
        // NOTE: nothing reads a copy of the following vertex, so none is made (nextVertex stays
        // null); it would double the allocations of every generation
        arista *edge = new_edge_block();
        if (edge == nullptr) return 0;
        vertice *vertex = edge->vertex;
        vertex->x = points[i].x;
        vertex->y = points[i].y;
        vertex->z = points[i].z;
        if (!record_occurrence(vertexTable, vertex, face)) {
            free(edge);
            return 0;
        }
        *tail = edge;
        tail = &edge->next;
    }
    return 1;
}

void average_normals(hash_table *vertexTable, int facesPerVertex)
{
    hash_iterator iterator{};
    uint32_t entries = hash_table_size(vertexTable);
    vertex_occurrence *chain = (vertex_occurrence *)hash_table_first(vertexTable, &iterator, nullptr, nullptr);
    for (uint32_t n = 0; n < entries && chain != nullptr; n++) {
        float sum[3] = {0.0f, 0.0f, 0.0f};
        int counted = 0;
        for (vertex_occurrence *o = chain; o != nullptr && counted < facesPerVertex; o = o->next, counted++) {
            sum[0] += o->face->normal[0];
            sum[1] += o->face->normal[1];
            sum[2] += o->face->normal[2];
        }
        normalize(sum);
        for (vertex_occurrence *o = chain; o != nullptr; o = o->next) {
            o->vertex->nx = sum[0];
            o->vertex->ny = sum[1];
            o->vertex->nz = sum[2];
        }
        chain = (vertex_occurrence *)hash_table_next(vertexTable, &iterator, nullptr, nullptr);
    }
}

void destroy_vertex_table(hash_table *vertexTable)
{
    if (vertexTable == nullptr) return;
    hash_iterator iterator{};
    for (void *data = hash_table_first(vertexTable, &iterator, nullptr, nullptr); data != nullptr;
         data = hash_table_next(vertexTable, &iterator, nullptr, nullptr)) {
        vertex_occurrence *o = (vertex_occurrence *)data;
        while (o != nullptr) {
            vertex_occurrence *next = o->next;
            free(o);
            o = next;
        }
    }
    hash_table_destroy(vertexTable);
}
