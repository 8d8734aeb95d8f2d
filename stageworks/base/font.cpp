/**********************************************************************************************
*
*   font - the texture font of stageworks ("arial.glf")
*
**********************************************************************************************/
#include "font.h"

#include "frame_pacing.h"

#include <GL/gl.h>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int HEADER_BYTES = 24;
static const int GLYPH_BYTES = 24;
static const int MAX_TEXTURE_SIDE = 8192;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static TextureFont font = {};
static const TextureFont *currentFont = nullptr;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
struct FileCloser {
    void operator()(FILE *file) const { if (file) fclose(file); }
};

static int32_t readInt32(const unsigned char *bytes)
{
    return (int32_t)((uint32_t)bytes[0] | ((uint32_t)bytes[1] << 8) | ((uint32_t)bytes[2] << 16) |
                     ((uint32_t)bytes[3] << 24));
}

static float readFloat32(const unsigned char *bytes)
{
    uint32_t bits = (uint32_t)readInt32(bytes);
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

// Glyph of one character, or null when the font has none for it
static const Glyph *glyphFor(const TextureFont &f, char character)
{
    int code = (signed char)character;
    if (code < f.firstChar || code > f.lastChar) return nullptr;
    size_t index = (size_t)(code - f.firstChar);
    return index < f.glyphs.size() ? &f.glyphs[index] : nullptr;
}

// Draws a string from (x, y, z); with a limit, stops after the character that passes it
static void drawString(const char *text, float x, float y, float z, bool limited, float limit)
{
    if (currentFont == nullptr || text == nullptr) return;
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    glBegin(GL_QUADS);
    for (const char *c = text; *c != '\0'; c++) {
        const Glyph *g = glyphFor(*currentFont, *c);
        if (g == nullptr) continue;
        glTexCoord2f(g->tx2, g->ty1); glVertex3f(x + g->dx, y, z);
        glTexCoord2f(g->tx2, g->ty2); glVertex3f(x + g->dx, y - g->dy, z);
        glTexCoord2f(g->tx1, g->ty2); glVertex3f(x, y - g->dy, z);
        glTexCoord2f(g->tx1, g->ty1); glVertex3f(x, y, z);
        x += g->dx;
        if (limited && x > limit * 2.4f) break;
    }
    glEnd();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int readTextureFont(const char *path, TextureFont &out, std::vector<unsigned char> &image)
{
    std::unique_ptr<FILE, FileCloser> file(fopen(path, "rb"));
    if (!file) return 0;

    unsigned char header[HEADER_BYTES];
    if (fread(header, 1, sizeof header, file.get()) != sizeof header) return 0;
    TextureFont f = {};
    f.textureName = 0;
    f.textureWidth = readInt32(header + 4);
    f.textureHeight = readInt32(header + 8);
    f.firstChar = readInt32(header + 12);
    f.lastChar = readInt32(header + 16);

    // NOTE: a character is a signed byte, so no table can usefully exceed 256 entries
    if (f.textureWidth <= 0 || f.textureHeight <= 0 || f.textureWidth > MAX_TEXTURE_SIDE ||
        f.textureHeight > MAX_TEXTURE_SIDE || f.firstChar < -128 || f.lastChar > 255 ||
        f.firstChar > f.lastChar) {
        return 0;
    }

    size_t count = (size_t)(f.lastChar - f.firstChar + 1);
    std::vector<unsigned char> table(count * GLYPH_BYTES);
    if (fread(table.data(), 1, table.size(), file.get()) != table.size()) return 0;
    f.glyphs.resize(count);
    for (size_t i = 0; i < count; i++) {
        const unsigned char *record = &table[i * GLYPH_BYTES];
        f.glyphs[i] = Glyph{readFloat32(record), readFloat32(record + 4), readFloat32(record + 8),
                            readFloat32(record + 12), readFloat32(record + 16), readFloat32(record + 20)};
    }

    image.assign((size_t)f.textureWidth * (size_t)f.textureHeight * 2, 0);
    if (fread(image.data(), 1, image.size(), file.get()) != image.size()) return 0;
    out = std::move(f);
    return 1;
}

int loadTextureFont()
{
    TextureFont loaded;
    std::vector<unsigned char> image;
    if (!readTextureFont(FONT_FILE, loaded, image)) {
        font.glyphs.clear();
        return 0;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 2, loaded.textureWidth, loaded.textureHeight, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, image.data());
    font = std::move(loaded);
    return 1;
}

const TextureFont &getTextureFont() { return font; }

void beginText()
{
    glBindTexture(GL_TEXTURE_2D, 0);
    currentFont = font.glyphs.empty() ? nullptr : &font;
}

void endText() { currentFont = nullptr; }

int textIsActive() { return currentFont != nullptr ? 1 : 0; }

void drawHudText(float x, float y, float z) { drawString(hudText(), x, y, z, false, 0.0f); }

void drawText(const char *text, float x, float y, float z, float limit) { drawString(text, x, y, z, true, limit); }

float textAdvance(const char *text)
{
    float x = 0.0f;
    if (text == nullptr) return x;
    for (const char *c = text; *c != '\0'; c++) {
        const Glyph *g = glyphFor(font, *c);
        if (g != nullptr) x += g->dx;
    }
    return x;
}
