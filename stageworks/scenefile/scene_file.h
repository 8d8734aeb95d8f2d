/**********************************************************************************************
*
*   scene_file - names and limits shared by the scene file writer and reader
*
*   The scene lives in escena.xml in the working directory, validated against DESCscene.dtd
*   beside it. Every name in the file (texture, material, flag) is one word of at most 255
*   characters. A scene file larger than MAX_SCENE_FILE_BYTES, or one that is no regular file,
*   is refused before it is read; so is a DTD larger than MAX_SCENE_DTD_BYTES.
*
*   DEPENDENCIES: objects (MAX_OBJECTS), parameters (MAX_GENERATED_FACES)
*
**********************************************************************************************/
#pragma once

#include "objects.h"
#include "parameters.h"
#include "scene_paths.h"

#include <cstddef>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr const char *SCENE_FILE_NAME = "escena.xml";
constexpr const char *SCENE_DTD_NAME = "DESCscene.dtd";

// Largest scene file read
constexpr size_t MAX_SCENE_FILE_BYTES = SCENE_FILE_MAX_BYTES;

// Largest DTD read
constexpr size_t MAX_SCENE_DTD_BYTES = (size_t)1 << 20;

// Longest name a scene file may hold
constexpr int MAX_SCENE_NAME_LENGTH = 255;

// Most objects a scene file may hold (the object table's capacity)
constexpr int MAX_SCENE_OBJECTS = MAX_OBJECTS;

// Most faces all the objects of one scene file may ask for together
constexpr long long MAX_SCENE_FACES = MAX_GENERATED_FACES;
