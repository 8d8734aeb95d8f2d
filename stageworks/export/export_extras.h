/**********************************************************************************************
*
*   export_extras - what glTF has no place for, kept as "extras" so nothing is dropped
*
*   An object's kind, parameters, drawing switches, scale factors, material names and events;
*   a material's own values (colours, weights, blend, shininess, texture block with its
*   frames); the scene's flags and texture list. Names follow the scene file (objeto3D,
*   caract fields, pLuzDif, cActivate, cMoveObj, ...).
*
*   DEPENDENCIES: records, objects, parameters, materials, textures, events, flags, tinygltf
*
**********************************************************************************************/
#pragma once

#include <tiny_gltf.h>   // Required for: tinygltf::Value

struct primitiva;
struct material_record;
struct EventSet;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// An object's extras: kind, parameters, switches, scales, materials and events (set may be null)
tinygltf::Value objectExtras(const primitiva *object, const EventSet *events);

// A material's own values
tinygltf::Value materialExtras(const material_record *material);

// The scene's flags (name to start value) and every texture path it names (null when none)
tinygltf::Value sceneExtras();
