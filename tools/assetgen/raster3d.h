/**********************************************************************************************
*
*   raster3d - a small flat-shaded renderer for the pictures of the solids
*
*   Meshes of planar polygons are turned by a yaw and a pitch, seen in a mild perspective,
*   scaled to fit a box of the canvas, lit by one directional light from the upper left
*   (both sides of every face are lit) and drawn with a depth buffer at 4 x 4 sub-samples
*   per pixel, so edges come out anti-aliased over whatever the canvas already holds.
*
*   DEPENDENCIES: canvas
*
**********************************************************************************************/
#pragma once

#include "canvas.h"

#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

struct Vec3 {
    float x, y, z;
};

// A planar convex polygon with its own shade factor (1 for plain faces)
struct MeshFace {
    std::vector<Vec3> points;
    float tint = 1.0f;
};

struct Mesh {
    std::vector<MeshFace> faces;
};

struct MeshView {
    float yawDegrees = 35.0f;     // turn about the vertical axis
    float pitchDegrees = 22.0f;   // tilt towards the viewer (looking down on the solid)
    float fill = 0.82f;           // share of the box the picture spans
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Adds a polygon to a mesh
void addFace(Mesh &mesh, std::vector<Vec3> points, float tint = 1.0f);
// Draws the mesh into the box [x0, x1] x [y0, y1] of the canvas in the given base colour
void renderMesh(Canvas &canvas, const Mesh &mesh, float x0, float y0, float x1, float y1,
                Color base, const MeshView &view);
