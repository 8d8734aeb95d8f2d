/**********************************************************************************************
*
*   web_textures - the texels and mipmap levels stageworks uploads, for the published page
*
*   stageworks turns every bitmap into a texture with gluBuild2DMipmaps, which first scales
*   an image whose sides are not powers of two (gluScaleImage) and then box-filters the
*   levels down to 1 x 1. The page must sample the very same texels, so the publisher runs
*   that same GLU call on an OpenGL context of its own (Mesa through EGL, without a display)
*   and reads every level back. The levels are written in one file per bitmap:
*     "SWMM", level count (u32), then width and height (u32) of each level, then each level's
*     RGB bytes, rows bottom first as OpenGL holds them, without padding.
*
*   DEPENDENCIES: bmp (load_dib_image_file), export_material (openSceneBitmap), EGL (a surfaceless context), OpenGL, GLU
*                 (gluBuild2DMipmaps)
*
**********************************************************************************************/
#pragma once

#include <memory>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct MipmapLevel {
    int width = 0;
    int height = 0;
    std::string rgb;   // width x height x 3 bytes, rows bottom first
};

// The OpenGL context the levels are made on (one per program run)
struct MipmapContext;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// A context of its own; null with the reason in error when OpenGL cannot be had
std::unique_ptr<MipmapContext, void (*)(MipmapContext *)> openMipmapContext(std::string &error);

// Reads a bitmap as stageworks reads a texture, only inside the scene directory (the current
// one) as a regular file; false with the reason in error
bool readTextureBitmap(const std::string &path, int &width, int &height, std::string &rgb, std::string &error);

// The levels gluBuild2DMipmaps makes of an RGB image; false with the reason in error
bool buildMipmapLevels(MipmapContext &context, int width, int height, const std::string &rgb,
                       std::vector<MipmapLevel> &levels, std::string &error);

// The levels as the bytes of one texture file
std::string mipmapFileBytes(const std::vector<MipmapLevel> &levels);
