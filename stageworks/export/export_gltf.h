/**********************************************************************************************
*
*   export_gltf - the loaded scene as a glTF 2.0 file
*
*   Every object becomes a node named by its codigo (P0, P1, ...) with its position and its
*   yaw, pitch and roll as one rotation, applied as the editor does (yaw about Y, then pitch
*   about X, then roll about Z), and a mesh of the geometry the editor draws. The vertices
*   already carry the scale factors, so the node has no scale of its own; the factors are
*   kept in the node's extras with the kind, the parameters and the events. Every material
*   of the scene becomes a glTF material (a second, double-sided one where the editor draws
*   faces of it without culling); a textured one embeds its first bitmap as a PNG and its
*   texture scale through KHR_texture_transform.
*
*   A .glb file holds everything; a .gltf file gets a .bin of the same name beside it (with
*   the images). The files are made in a scratch directory beside the output, flushed to
*   disk and then renamed into place, so a failure never leaves a partial output file.
*
*   DEPENDENCIES: export_mesh, export_material, export_extras, objects, materials,
*                 material_usage, file_bundle and scene_paths (file_safety), tinygltf
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// True for a path ending in .glb or .gltf (with a name before it)
bool exportPathAccepted(const std::string &path);

// 1 when the scene now loaded was written to path (ending in .glb or .gltf); 0 with the reason
// in error, and nothing written at path
int exportScene(const std::string &path, std::string &error);
