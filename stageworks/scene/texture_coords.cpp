/**********************************************************************************************
*
*   texture_coords - the texture coordinate of every vertex of every primitive kind
*
**********************************************************************************************/
#include "texture_coords.h"

#include "parameters.h"

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// a / b, or 0 when b is 0
static float ratio(float a, float b) { return b == 0.0f ? 0.0f : a / b; }

// The whole texture on a triangle or a quad
static tex_coord corners(int vertexCount, int index)
{
    if (vertexCount == 3) {
        static const tex_coord triangle[3] = {{0.5f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
        if (index >= 0 && index < 3) return triangle[index];
    }
    if (vertexCount == 4) {
        static const tex_coord quad[4] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
        if (index >= 0 && index < 4) return quad[index];
    }
    return tex_coord{0.0f, 0.0f};
}

// A planar projection of the object's unscaled coordinates a, b onto extents (sizeA, sizeB)
static tex_coord planar(float a, float scaleA, int sizeA, float b, float scaleB, int sizeB)
{
    float s = ratio(ratio(a, scaleA) + (float)(sizeA / 2), (float)sizeA);
    float t = ratio(ratio(b, scaleB) + (float)(sizeB / 2), (float)sizeB);
    return tex_coord{s, t};
}

// One tile of a wall of facesAround faces per full wrap: T faces per tile, odd tiles mirrored;
// swapped exchanges the s values of v0 and v1 and of v2 and v3
static tex_coord tiled(int facesAround, int wrapCount, int ordinal, int index, bool swapped)
{
    if (wrapCount < 1) wrapCount = 1;
    int T = facesAround / wrapCount;
    if (T < 1) T = 1;
    if (ordinal < 0) ordinal = 0;
    float f = 1.0f / (float)T;
    int tile = ordinal / T;
    float s0, s1;
    if (tile % 2 == 0) {
        int m = ordinal % T;
        s0 = f * (float)m;
        s1 = f * (float)(m + 1);
    } else {
        int j = T * (tile + 1) - ordinal;
        s0 = f * (float)j;
        s1 = f * (float)(j - 1);
    }
    if (swapped) {
        float keep = s0;
        s0 = s1;
        s1 = keep;
    }
    switch (index) {
    case 0: return tex_coord{s0, 1.0f};
    case 1: return tex_coord{s1, 1.0f};
    case 2: return tex_coord{s1, 0.0f};
    case 3: return tex_coord{s0, 0.0f};
    default: return tex_coord{0.0f, 0.0f};
    }
}

// The longitude-latitude grid of C columns and R rows (spheres)
static tex_coord grid(int group, int C, int R, int ordinal, int index)
{
    if (C < 1 || R < 1 || ordinal < 0) return tex_coord{0.0f, 0.0f};
    float column = (float)(ordinal % C);
    float c = (float)C, r = (float)R;
    if (group == 0) {
        if (index == 0) return tex_coord{(column + 0.5f) / c, 1.0f};
        if (index == 1) return tex_coord{(column + 1.0f) / c, (r - 1.0f) / r};
        if (index == 2) return tex_coord{column / c, (r - 1.0f) / r};
    } else if (group == 1) {
        float band = (float)(ordinal / C);
        float upper = (r - band) / r, lower = (r - band - 1.0f) / r;
        if (index == 0) return tex_coord{column / c, upper};
        if (index == 1) return tex_coord{(column + 1.0f) / c, upper};
        if (index == 2) return tex_coord{(column + 1.0f) / c, lower};
        if (index == 3) return tex_coord{column / c, lower};
    } else if (group == 2) {
        if (index == 0) return tex_coord{(column + 0.5f) / c, 0.0f};
        if (index == 1) return tex_coord{column / c, 1.0f / r};
        if (index == 2) return tex_coord{(column + 1.0f) / c, 1.0f / r};
    }
    return tex_coord{0.0f, 0.0f};
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
tex_coord texture_coordinate(const primitiva *object, const cara *face, int faceOrdinal, int vertexIndex,
                             int wrapCount)
{
    const vertice *vertex = nullptr;
    const arista *edge = face ? face->ring : nullptr;
    for (int i = 0; edge != nullptr && i < vertexIndex; i++) edge = edge->next;
    if (edge != nullptr && vertexIndex >= 0) vertex = edge->vertex;
    return texture_coordinate_of(object, face, faceOrdinal, vertexIndex, vertex, wrapCount);
}

tex_coord texture_coordinate_of(const primitiva *object, const cara *face, int faceOrdinal, int vertexIndex,
                                const vertice *vertex, int wrapCount)
{
    const tex_coord none = {0.0f, 0.0f};
    if (object == nullptr || face == nullptr) return none;
    auto p = [&](int index) { return get_parameter(object, index); };
    int group = face->group;

    switch (object->objeto3D) {
    case KIND_RECTANGLE:
    case KIND_TRIANGLE:
    case KIND_PARALLELEPIPED:
    case KIND_PYRAMID:
    case KIND_CUBE:
        return corners(face->numVertices, vertexIndex);

    case KIND_TRAPEZOID: {
        if (group == 0 || group == 1) return corners(4, vertexIndex);
        float r = ratio((float)p(TRA_LADO_PICO), (float)p(TRA_LADO_BASE));
        if (vertexIndex == 0) return tex_coord{0.5f - r / 2.0f, 1.0f};
        if (vertexIndex == 1) return tex_coord{0.5f + r / 2.0f, 1.0f};
        return corners(4, vertexIndex);
    }

    case KIND_CIRCLE:
        if (group == 1) return tiled(4 * p(CIR_SEGMENTOS), wrapCount, faceOrdinal, vertexIndex, false);
        if (vertex == nullptr) return none;
        if (group == 0 || group == 2) {
            tex_coord c = planar(vertex->x, object->scaleX, p(CIR_RADIO_HOR), vertex->y, object->scaleY,
                                 p(CIR_RADIO_VERT));
            if (group == 2) c.s = 1.0f - c.s;
            return c;
        }
        return none;

    case KIND_HALF_CIRCLE:
        if (group == 1) return tiled(2 * p(MCIR_SEGMENTOS), wrapCount, faceOrdinal, vertexIndex, false);
        if (group == 3) return corners(4, vertexIndex);
        if (vertex == nullptr) return none;
        if (group == 0 || group == 2) {
            tex_coord c = planar(vertex->x, object->scaleX, p(MCIR_RADIO_HOR), vertex->y, object->scaleY,
                                 p(MCIR_RADIO_VERT));
            if (group == 2) c.s = 1.0f - c.s;
            return c;
        }
        return none;

    case KIND_CYLINDER:
        return tiled(4 * p(CIL_SEGMENTOS), wrapCount, faceOrdinal, vertexIndex, group == 3);

    case KIND_HALF_CYLINDER:
        if (group == 4 || group == 5) return corners(4, vertexIndex);
        return tiled(2 * p(MCIL_SEGMENTOS), wrapCount, faceOrdinal, vertexIndex, group == 3);

    case KIND_SPHERE:
        return grid(group, 4 * p(ESF_SEGMENTOS_X), 2 * p(ESF_SEGMENTOS_Y), faceOrdinal, vertexIndex);

    case KIND_HALF_SPHERE:
        if (group == 2) {
            // NOTE: the bottom disc lies in the XZ plane, yet t is measured against the vertical
            // radius: scene files rely on that mapping, so it stays even when the radii differ
            if (vertex == nullptr) return none;
            return planar(vertex->x, object->scaleX, p(MESF_RADIO_HOR), vertex->z, object->scaleZ,
                          p(MESF_RADIO_VERT));
        }
        return grid(group, 4 * p(MESF_SEGMENTOS_X), p(MESF_SEGMENTOS_Y), faceOrdinal, vertexIndex);

    default:
        return none;
    }
}
