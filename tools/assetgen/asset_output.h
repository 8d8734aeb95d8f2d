/**********************************************************************************************
*
*   asset_output - where the generators put their files
*
*   The record every generator receives: the output directories, the two DejaVu faces the
*   labels are drawn with, and the running count and first error of the written files.
*
*   DEPENDENCIES: canvas, bmp_writer, text
*
**********************************************************************************************/
#pragma once

#include "canvas.h"
#include "text.h"

#include <string>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

struct AssetOutput {
    std::string rootDir;      // the program's working directory
    std::string dataDir;      // rootDir + "/Data"
    FontFace regular;         // DejaVu Sans
    FontFace bold;            // DejaVu Sans Bold
    int filesWritten = 0;
    std::string error;        // the first failure, empty while all is well
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Writes Data/<name> as a 24-bit BMP; false (and the error recorded) on failure
bool saveBitmap(AssetOutput &out, const std::string &name, const Canvas &canvas);
// Records a failure unless an earlier one is already recorded; returns false
bool recordFailure(AssetOutput &out, const std::string &message);
