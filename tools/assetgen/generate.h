/**********************************************************************************************
*
*   generate - writes the whole run data of stageworks into a directory
*
*   Creates DIRECTORY and DIRECTORY/Data, opens the DejaVu faces and runs every generator:
*   the sky box, the scene textures, the menus, the event editor icons, the primitive
*   pictures and the texture font "arial.glf". The output depends only on the build.
*
*   DEPENDENCIES: asset_output, sky, textures, menus, event_icons, solids, font_atlas
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The DejaVu files the labels and the font are drawn from
const char *regularFontPath();
const char *boldFontPath();
// Generates everything; false with a message in error on the first failure.
// filesWritten receives the number of files written.
bool generateAssets(const std::string &directory, std::string &error, int &filesWritten);
