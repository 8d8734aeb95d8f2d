/**********************************************************************************************
*
*   scene_building - materials and objects added to the tables the way the generated scenes
*   (the demo and the mixed benchmark scene) need them
*
*   DEPENDENCIES: scene (materials, textures, objects, usage table), events (event sets)
*
**********************************************************************************************/
#pragma once

#include <initializer_list>

struct primitiva;
struct EventSet;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// A material with a still texture (one bitmap) or with frames cycling every milTime ms
void addTexturedMaterial(const char *name, int milTime, std::initializer_list<const char *> frames);

// A plain coloured material; alpha below 1 makes it see-through
void addColouredMaterial(const char *name, float r, float g, float b, float shine, float alpha = 1.0f);

// Stores a built object with its events and registers it with its material; its slot, or -1
// (the record and the events are then freed)
int storeBuiltObject(primitiva &record, EventSet *events);
