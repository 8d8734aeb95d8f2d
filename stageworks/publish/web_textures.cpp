/**********************************************************************************************
*
*   web_textures - the texels and mipmap levels stageworks uploads, for the published page
*
**********************************************************************************************/
#include "web_textures.h"

#include "bmp.h"
#include "export_material.h"
#include "scene_paths.h"

#include <EGL/egl.h>      // Required for: eglInitialize(), eglCreateContext(), eglMakeCurrent()
#include <EGL/eglext.h>   // Required for: EGL_PLATFORM_SURFACELESS_MESA, EGL_NO_CONFIG_KHR
#include <GL/gl.h>        // Required for: glGetTexImage(), glGetTexLevelParameteriv()
#include <GL/glu.h>       // Required for: gluBuild2DMipmaps()

#include <algorithm>   // Required for: std::swap_ranges()
#include <cstdint>
#include <cstdlib>     // Required for: std::abs()

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct MipmapContext {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
static void closeMipmapContext(MipmapContext *context)
{
    if (context == nullptr) return;
    if (context->display != EGL_NO_DISPLAY) {
        eglMakeCurrent(context->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context->context != EGL_NO_CONTEXT) eglDestroyContext(context->display, context->context);
        eglTerminate(context->display);
    }
    delete context;
}

// Appends a 32-bit little-endian value
static void appendWord(std::string &bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back((char)((value >> shift) & 0xFFu));
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::unique_ptr<MipmapContext, void (*)(MipmapContext *)> openMipmapContext(std::string &error)
{
    std::unique_ptr<MipmapContext, void (*)(MipmapContext *)> context(new MipmapContext(), closeMipmapContext);
    auto platformDisplay = (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    // NOTE: Mesa's surfaceless platform needs no display server and no window
    if (platformDisplay != nullptr)
        context->display = platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (context->display == EGL_NO_DISPLAY || !eglInitialize(context->display, &major, &minor)) {
        context->display = EGL_NO_DISPLAY;
        error = "no OpenGL without a display (Mesa's EGL) to make the textures' mipmaps with";
        return {nullptr, closeMipmapContext};
    }
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    if (!eglBindAPI(EGL_OPENGL_API) ||
        (context->context = eglCreateContext(context->display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes)) ==
            EGL_NO_CONTEXT ||
        !eglMakeCurrent(context->display, EGL_NO_SURFACE, EGL_NO_SURFACE, context->context)) {
        error = "no OpenGL context to make the textures' mipmaps with";
        return {nullptr, closeMipmapContext};
    }
    return context;
}

bool readTextureBitmap(const std::string &path, int &width, int &height, std::string &rgb, std::string &error)
{
    // NOTE: under the rule for files a scene names, as the export opens them
    OpenedFile file;
    if (!openSceneBitmap(path, &file, error)) return false;
    std::unique_ptr<dib_image> image = load_dib_image_file(file, path.c_str());
    const int rows = image ? std::abs(image->height) : 0;
    const size_t row = image ? (size_t)image->width * 3 : 0;
    if (!image || image->width <= 0 || rows == 0 || image->pixels.size() < row * (size_t)rows) {
        error = "the bitmap '" + path + "' is not a readable BMP image";
        return false;
    }
    width = image->width;
    height = rows;
    rgb.assign((const char *)image->pixels.data(), row * (size_t)rows);
    // NOTE: as stageworks does, a top-down bitmap is turned over: OpenGL takes rows bottom first
    if (image->height < 0) {
        for (size_t top = 0, bottom = (size_t)rows - 1; top < bottom; top++, bottom--)
            std::swap_ranges(rgb.begin() + (long)(top * row), rgb.begin() + (long)((top + 1) * row),
                             rgb.begin() + (long)(bottom * row));
    }
    return true;
}

bool buildMipmapLevels(MipmapContext &, int width, int height, const std::string &rgb,
                       std::vector<MipmapLevel> &levels, std::string &error)
{
    levels.clear();
    if (width <= 0 || height <= 0 || rgb.size() < (size_t)width * (size_t)height * 3) {
        error = "an empty image has no mipmaps";
        return false;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // the very call stageworks makes for each bitmap
    const GLint built = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (GLint level = 0; built == 0; level++) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (w <= 0 || h <= 0) break;
        MipmapLevel out;
        out.width = w;
        out.height = h;
        out.rgb.resize((size_t)w * (size_t)h * 3);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, &out.rgb[0]);
        levels.push_back(out);
        if (w == 1 && h == 1) break;
    }
    glDeleteTextures(1, &name);
    const GLenum glError = glGetError();
    if (built != 0 || levels.empty() || glError != GL_NO_ERROR) {
        const GLenum reason = built != 0 ? (GLenum)built : glError;
        const GLubyte *text = reason != GL_NO_ERROR ? gluErrorString(reason) : nullptr;
        error = std::string("the mipmaps could not be made") + (text != nullptr ? ": " + std::string((const char *)text) : "");
        levels.clear();
        return false;
    }
    return true;
}

std::string mipmapFileBytes(const std::vector<MipmapLevel> &levels)
{
    std::string bytes = "SWMM";
    appendWord(bytes, (uint32_t)levels.size());
    for (const MipmapLevel &level : levels) {
        appendWord(bytes, (uint32_t)level.width);
        appendWord(bytes, (uint32_t)level.height);
    }
    for (const MipmapLevel &level : levels) bytes += level.rgb;
    return bytes;
}
