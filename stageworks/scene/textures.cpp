/**********************************************************************************************
*
*   textures - bitmaps turned into OpenGL textures, and the texture table
*
**********************************************************************************************/
#include "textures.h"

#include "bmp.h"
#include "frame_pacing.h"
#include "materials.h"
#include "message_box.h"
#include "scene_paths.h"
#include "redraw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>  // Required for: INT_MAX
#include <map>            // Required for: the GL texture of each bitmap file
#include <set>            // Required for: the bitmap files that could not be read
#include <unordered_map>  // Required for: the wrap set on each texture
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static hash_table *textures = nullptr;
static GLuint blankTexture = 0;
static std::unordered_map<GLuint, GLint> wrapSet;  // wrap last set on a texture (outside lists)

// NOTE: one GL texture per bitmap file, whatever the spellings of its path in the table
// ("Data/a.bmp", "./Data/a.bmp", a link to it): the entries share it, and it is deleted
// with the last of them
static std::map<FileIdentity, GLuint> textureOfFile;
static std::unordered_map<GLuint, int> textureUsers;
static std::set<FileIdentity> unreadableFiles;     // refused once, not decoded again

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The table entry of a path, or null
static texture_entry *entry_of(const char *path)
{
    if (textures == nullptr || path == nullptr) return nullptr;
    return (texture_entry *)hash_table_get(textures, (uint32_t)strlen(path), path);
}

// Rows bottom first, as OpenGL takes them (a top-down bitmap is turned over)
static void rows_bottom_first(dib_image &image)
{
    if (image.height >= 0) return;
    size_t row = (size_t)image.width * 3;
    size_t rows = (size_t)(-(long long)image.height);
    for (size_t top = 0, bottom = rows - 1; top < bottom; top++, bottom--)
        std::swap_ranges(image.pixels.begin() + (long)(top * row), image.pixels.begin() + (long)((top + 1) * row),
                         image.pixels.begin() + (long)(bottom * row));
}

// A mipmapped texture of a decoded picture; -1 (after an "Error!" box naming path) for none
static int upload_texture(std::unique_ptr<dib_image> image, const char *path)
{
    if (!image || image->width <= 0 || image->height == 0) {
        showMessageBox("Error!", path);
        return TEXTURE_NOT_LOADED;
    }
    rows_bottom_first(*image);
    GLuint name = 0;
    glGenTextures(1, &name);
    wrapSet.erase(name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    int height = image->height < 0 ? -image->height : image->height;
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, height, GL_RGB, GL_UNSIGNED_BYTE, image->pixels.data());
    return (int)name;
}

// Reads a bitmap the program ships and makes a mipmapped texture of it; -1 after an "Error!" box
static int make_texture(const char *path)
{
    if (path == nullptr) return TEXTURE_NOT_LOADED;
    OpenedFile file;
    if (!fileOk(openRegularFile(path, 0, &file))) return upload_texture(nullptr, path);
    return upload_texture(load_dib_image_file(file, path), path);
}

// The GL texture of a bitmap a scene names, opened under the rule for such files (inside the
// scene directory, a regular file, without blocking); made once per file and shared by every
// spelling of its path. -1 after an "Error!" box with the path and the reason
static int scene_texture(const char *path)
{
    OpenedFile file;
    const FileStatus status = openSceneFile(".", path, 0, &file);
    if (!fileOk(status)) {
        showMessageBox("Error!", (std::string(path) + ": " + fileProblemText(status)).c_str());
        return TEXTURE_NOT_LOADED;
    }
    auto known = textureOfFile.find(file.identity);
    if (known != textureOfFile.end()) {
        textureUsers[known->second]++;
        return (int)known->second;
    }
    if (unreadableFiles.count(file.identity) != 0) return upload_texture(nullptr, path);
    int name = upload_texture(load_dib_image_file(file, path), path);
    if (name == TEXTURE_NOT_LOADED) {
        unreadableFiles.insert(file.identity);
        return name;
    }
    textureOfFile[file.identity] = (GLuint)name;
    textureUsers[(GLuint)name] = 1;
    return name;
}

// One table entry lets go of its GL texture; the texture is deleted with its last user
static void release_texture(int glName)
{
    if (glName == TEXTURE_NOT_LOADED) return;
    GLuint name = (GLuint)glName;
    auto users = textureUsers.find(name);
    if (users != textureUsers.end() && --users->second > 0) return;
    if (users != textureUsers.end()) textureUsers.erase(users);
    for (auto it = textureOfFile.begin(); it != textureOfFile.end(); ++it) {
        if (it->second != name) continue;
        textureOfFile.erase(it);
        break;
    }
    glDeleteTextures(1, &name);
}

// Sets the wrap on S and T of the bound texture, unless it is known to be set already
static void set_wrap(GLuint texture, GLint wrap)
{
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling == 0) {
        auto known = wrapSet.find(texture);
        if (known != wrapSet.end() && known->second == wrap) return;
        wrapSet[texture] = wrap;
    } else {
        // NOTE: a compiled call acts whenever the list is called: the texture's wrap is
        // unknown from then on
        wrapSet.erase(texture);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

// Asks for a frame when an animated texture shows its next picture (not for a call compiled
// into a display list: the list is not drawn now)
static void ask_for_next_frame(const texture_block &block, int now)
{
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling != 0) return;
    long long wait = (long long)block.lastSwitch + block.milTime + 1 - now;
    requestRedraw(wait < 1 ? 1 : wait > INT_MAX ? INT_MAX : (int)wait);
}

//----------------------------------------------------------------------------------
// Public functions: the texture table
//----------------------------------------------------------------------------------
void create_texture_table()
{
    clear_texture_table();
    textures = hash_table_create(TEXTURE_TABLE_BUCKETS);
}

void clear_texture_table()
{
    if (textures == nullptr) return;
    hash_iterator it = {};
    for (void *data = hash_table_first(textures, &it, nullptr, nullptr); data != nullptr;
         data = hash_table_next(textures, &it, nullptr, nullptr)) {
        delete (texture_entry *)data;
    }
    hash_table_destroy(textures);
    textures = nullptr;
}

hash_table *texture_table() { return textures; }

int texture_count() { return textures ? (int)hash_table_size(textures) : 0; }

int add_texture_name(const char *path)
{
    if (textures == nullptr || path == nullptr || entry_of(path) != nullptr) return 0;
    texture_entry *entry = new (std::nothrow) texture_entry();
    if (entry == nullptr) return 0;
    if (hash_table_insert(textures, entry, (uint32_t)strlen(path), path) != HASH_OK) {
        delete entry;
        return 0;
    }
    return 1;
}

int remove_texture_name(const char *path)
{
    if (textures == nullptr || path == nullptr) return 0;
    texture_entry *entry = (texture_entry *)hash_table_remove(textures, (uint32_t)strlen(path), path);
    if (entry == nullptr) return 0;
    release_texture(entry->glName);
    delete entry;
    return 1;
}

int texture_gl_name(const char *path)
{
    const texture_entry *entry = entry_of(path);
    return entry ? entry->glName : TEXTURE_NOT_LOADED;
}

std::string texture_key_text(const unsigned char *key, uint32_t keyLength)
{
    return key ? std::string((const char *)key, keyLength) : std::string();
}

//----------------------------------------------------------------------------------
// Public functions: loading
//----------------------------------------------------------------------------------
int load_texture(const char *path)
{
    if (path == nullptr) return TEXTURE_NOT_LOADED;
    const texture_entry *known = entry_of(path);
    if (known != nullptr && known->glName != TEXTURE_NOT_LOADED) return TEXTURE_NOT_LOADED;
    // NOTE: a scene texture that cannot be read must not end the program (the user's scene
    // would be lost): it stays in the table unloaded and its materials are drawn plain
    int name = scene_texture(path);
    if (known == nullptr) add_texture_name(path);
    texture_entry *entry = entry_of(path);
    if (entry != nullptr) entry->glName = name;
    return name;
}

int load_bitmap_texture(const char *path) { return make_texture(path); }

int load_required_bitmap_texture(const char *path)
{
    int name = make_texture(path);
    if (name == TEXTURE_NOT_LOADED) {
        if (path == nullptr) showMessageBox("Error!", "(null)");
        fflush(stdout);
        exit(1);
    }
    return name;
}

int load_all_textures()
{
    if (textures == nullptr) return 0;
    int loaded = 0;
    hash_iterator it = {};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    for (void *data = hash_table_first(textures, &it, &key, &length); data != nullptr;
         data = hash_table_next(textures, &it, &key, &length)) {
        std::string path = texture_key_text(key, length);
        if (load_texture(path.c_str()) != TEXTURE_NOT_LOADED) loaded++;
    }
    return loaded;
}

void delete_all_textures()
{
    if (textures == nullptr) return;
    hash_iterator it = {};
    for (void *data = hash_table_first(textures, &it, nullptr, nullptr); data != nullptr;
         data = hash_table_next(textures, &it, nullptr, nullptr)) {
        texture_entry *entry = (texture_entry *)data;
        release_texture(entry->glName);
        entry->glName = TEXTURE_NOT_LOADED;
    }
    unreadableFiles.clear();
    forget_texture_wraps();
}

void forget_texture_wraps() { wrapSet.clear(); }

//----------------------------------------------------------------------------------
// Public functions: binding a material's texture
//----------------------------------------------------------------------------------
int advance_texture_frame(texture_block *block, int now)
{
    if (block == nullptr || block->frames.empty() || block->multiple == 1) return -1;
    if (block->multiple < 1) return 0;
    if ((long long)now > (long long)block->lastSwitch + block->milTime) {
        block->currentFrame++;
        if (block->currentFrame >= block->multiple) block->currentFrame = 1;
        block->lastSwitch = now;
    }
    int frame = block->currentFrame < 1 ? 1 : block->currentFrame;
    return frame - 1;
}

int bind_material_texture(material_record *material)
{
    if (!material_is_textured(material)) return 0;
    texture_block *block = material->texture.get();
    int now = elapsedMs();
    int index = advance_texture_frame(block, now);
    if (block->frames.size() > 1) ask_for_next_frame(*block, now);
    int name = TEXTURE_NOT_LOADED;
    if (index >= 0 && (size_t)index < block->frames.size()) name = texture_gl_name(block->frames[(size_t)index].c_str());
    GLuint target = (name != TEXTURE_NOT_LOADED) ? (GLuint)name : blank_texture();
    if (target != 0) glBindTexture(GL_TEXTURE_2D, target);
    bool rotated = block->rotationX != 0.0f || block->rotationY != 0.0f || block->rotationZ != 0.0f;
    GLint wrap = rotated ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    if (target != 0) {
        set_wrap(target, wrap);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    }
    glMatrixMode(GL_MODELVIEW);
    return name != TEXTURE_NOT_LOADED ? 1 : 0;
}

unsigned int blank_texture()
{
    if (blankTexture != 0) return blankTexture;
    // NOTE: while a display list is being compiled the image upload would only be recorded
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling != 0) return 0;
    const unsigned char white[3] = {255, 255, 255};
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glGenTextures(1, &blankTexture);
    wrapSet.erase(blankTexture);
    glBindTexture(GL_TEXTURE_2D, blankTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
    glBindTexture(GL_TEXTURE_2D, (GLuint)previous);
    return blankTexture;
}
