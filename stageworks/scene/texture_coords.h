/**********************************************************************************************
*
*   texture_coords - the texture coordinate of every vertex of every primitive kind
*
*   Flat-sided kinds map each triangle and quad onto the whole texture; circles map their
*   front and back planar; curved walls tile the texture around the solid, every other tile
*   mirrored so that tiles meet seamlessly; spheres use a longitude-latitude grid. The
*   material's texture matrix is applied on top by the renderer. The wrap count is the
*   material's number of tiles around a curved wall.
*
*   DEPENDENCIES: records, parameters
*
**********************************************************************************************/
#pragma once

#include "records.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// (s, t) of the vertex at vertexIndex of the face's ring; faceOrdinal is the face's 0-based
// position in the object's face list. (0, 0) for anything the rules do not cover.
tex_coord texture_coordinate(const primitiva *object, const cara *face, int faceOrdinal, int vertexIndex,
                             int wrapCount);

// The same when the caller already holds the vertex (the renderer walking a ring)
tex_coord texture_coordinate_of(const primitiva *object, const cara *face, int faceOrdinal, int vertexIndex,
                                const vertice *vertex, int wrapCount);
