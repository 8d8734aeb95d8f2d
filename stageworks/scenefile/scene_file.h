/**********************************************************************************************
*
*   scene_file - names and limits shared by the scene file writer and reader
*
*   The scene lives in escena.xml in the working directory, validated against DESCscene.dtd
*   beside it. Every name in the file (texture, material, flag) is one word of at most 255
*   characters.
*
*   DEPENDENCIES: objects (MAX_OBJECTS), parameters (MAX_GENERATED_FACES)
*
**********************************************************************************************/
#pragma once

#include "objects.h"
#include "parameters.h"

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr const char *SCENE_FILE_NAME = "escena.xml";
constexpr const char *SCENE_DTD_NAME = "DESCscene.dtd";

// A save goes to this file first and replaces escena.xml only once it is complete
constexpr const char *SCENE_TEMP_SUFFIX = ".tmp";

// Longest name a scene file may hold
constexpr int MAX_SCENE_NAME_LENGTH = 255;

// Most objects a scene file may hold (the object table's capacity)
constexpr int MAX_SCENE_OBJECTS = MAX_OBJECTS;

// Most faces all the objects of one scene file may ask for together
constexpr long long MAX_SCENE_FACES = MAX_GENERATED_FACES;
