/**********************************************************************************************
*
*   generators - the twelve parametric primitive generators
*
*   Each generator takes its kind's integer parameters (without the solid and culling
*   switches, which it sets to 1 and 0), builds the faces in object coordinates around the
*   origin, extruded toward -Z, lists every face clockwise as seen from outside, and smooths
*   the vertex normals over a vertex table of its own. Half extents are integer halves of
*   the parameters (h(p) = p / 2, q(p) = p / 4, truncated). Curved kinds step a 32-bit float
*   angle by repeated addition and close a full turn exactly at 0 degrees and a half turn
*   exactly at 90 degrees, so the closing vertices repeat the first ones bit for bit.
*
*   The result is returned by value and owns everything it points to (free_primitiva).
*
*   DEPENDENCIES: records, parameters, normals, hash_table
*
**********************************************************************************************/
#pragma once

#include "records.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
primitiva generate_rectangle(int ladoHor, int ladoVert, int grosor);
primitiva generate_triangle(int ladoBase, int altura, int grosor);
primitiva generate_parallelepiped(int ladoBase, int ladoLateral, int altura, int grosor);
primitiva generate_pyramid(int lado, int altura);
primitiva generate_cube(int lado);
primitiva generate_circle(int radioHor, int radioVert, int grosor, int segmentos);
primitiva generate_half_circle(int radioHor, int radioVert, int grosor, int segmentos);
primitiva generate_trapezoid(int ladoBase, int ladoPico, int altura);
primitiva generate_cylinder(int radioHor, int radioVert, int grosorX, int grosorY, int segmentos);
primitiva generate_half_cylinder(int radioHor, int radioVert, int grosorX, int grosorY, int segmentos);
primitiva generate_sphere(int radioHor, int radioVert, int radioZ, int segmentosX, int segmentosY);
primitiva generate_half_sphere(int radioHor, int radioVert, int radioZ, int segmentosX, int segmentosY);

// The kind's generator with its default parameters; a zero record (objeto3D -1, no faces)
// for a kind outside 0 to 11
primitiva generate_kind(int kind);

// Builds an object of the kind from an explicit parameter array of parameter_count(kind)
// values in field order (as a scene file stores them). Unlike the generators it keeps the
// solid and culling switches as given. Returns 1 with *out filled, or 0 (and *out zeroed)
// for an unknown kind, a null array or parameters asking for more than MAX_GENERATED_FACES.
int build_primitive(int kind, const int *values, primitiva *out);
