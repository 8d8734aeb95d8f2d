/**********************************************************************************************
*
*   font - the texture font of stageworks ("arial.glf")
*
*   One font, read once from the working directory: a 24-byte header (texture name, width,
*   height, first and last character, one unused word), a table of six floats per character
*   (advance/width, height, top-left and bottom-right texture coordinates) and a
*   luminance-alpha image. Each character is drawn as one textured quad in the current colour.
*   A missing or damaged file leaves the program without text; nothing else changes.
*
*   DEPENDENCIES: frame_pacing (the HUD text buffer), OpenGL
*
**********************************************************************************************/
#pragma once

#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr const char *FONT_FILE = "arial.glf";

struct Glyph {
    float dx, dy;
    float tx1, ty1;
    float tx2, ty2;
};

struct TextureFont {
    int textureName;
    int textureWidth;
    int textureHeight;
    int firstChar;
    int lastChar;
    std::vector<Glyph> glyphs;    // empty until a font file was read
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Reads "arial.glf" and uploads its image into texture object 0; 1 on success, 0 on failure
int loadTextureFont();

// Reads a font file into a record without touching GL (the loader's checks); image out
int readTextureFont(const char *path, TextureFont &font, std::vector<unsigned char> &image);

// The font record
const TextureFont &getTextureFont();

// Binds the font texture and makes the font current if it was loaded
void beginText();

// No font is current afterwards
void endText();

// 1 while a font is current
int textIsActive();

// Draws the HUD text buffer with its top-left corner at (x, y, z)
void drawHudText(float x, float y, float z);

// Draws text the same way, stopping after the character that passes x = limit * 2.4
void drawText(const char *text, float x, float y, float z, float limit);

// Pen position after drawing text without a limit (layout helper; draws nothing)
float textAdvance(const char *text);
