/**********************************************************************************************
*
*   textures - bitmaps turned into OpenGL textures, and the texture table
*
*   The texture table (256 buckets) maps a bitmap path, as a scene names it, to the GL
*   texture name made from it, or -1 while it is not loaded. A scene's bitmap is opened under
*   the rule for files a scene names (scene_paths: inside the scene directory after links, a
*   regular file, opened without blocking), and made into one GL texture per file, shared by
*   every spelling of its path that the table holds. A scene texture whose bitmap is refused
*   or cannot be read is reported in an "Error!" box ("Data/x.bmp: no such file in the scene
*   directory") and stays unloaded; materials using it are drawn untextured (a plain white
*   texture is bound in its place). Bitmaps the program needs
*   to run (sky box, menus, icons) go through load_required_bitmap_texture, which ends the
*   program with status 1 when one is missing. Animated textures change frame through
*   elapsedMs, the injectable clock of frame_pacing.
*
*   DEPENDENCIES: hash_table, bmp (load_dib_image_file), materials, message_box, frame_pacing,
*                 scene_paths (file_safety), redraw (an animated
*                 texture asks for the frame of its next picture), OpenGL and GLU (gluBuild2DMipmaps)
*
**********************************************************************************************/
#pragma once

#include "hash_table.h"

#include <string>

struct material_record;
struct texture_block;

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int TEXTURE_TABLE_BUCKETS = 256;
constexpr int TEXTURE_NOT_LOADED = -1;

// Data of one texture table entry
struct texture_entry {
    int glName = TEXTURE_NOT_LOADED;
};

//----------------------------------------------------------------------------------
// Public functions: the texture table
//----------------------------------------------------------------------------------

// Makes a new empty texture table (256 buckets); an existing one is cleared first
void create_texture_table();

// Frees every entry and the table; GL textures are left alone (delete_all_textures first)
void clear_texture_table();

// The table (null before create_texture_table); iterate it with hash_table_first/next
hash_table *texture_table();

int texture_count();

// Adds a path marked as not loaded (a scene reader naming its textures); 1 when added, 0 when
// present already or there is no table
int add_texture_name(const char *path);

// Removes a path from the table, deleting its GL texture when no other entry shares it; 1 when
// it was there
int remove_texture_name(const char *path);

// GL name stored for the path: -1 when not loaded or not in the table
int texture_gl_name(const char *path);

// The path of a texture table key as text (the key bytes, without a terminator)
std::string texture_key_text(const unsigned char *key, uint32_t keyLength);

//----------------------------------------------------------------------------------
// Public functions: loading
//----------------------------------------------------------------------------------

// Loads the bitmap once and records its GL name in the table. Returns the GL name (shared with
// the entries that name the same file); -1 when the path is already loaded, null, refused or
// its bitmap cannot be read (an "Error!" box with the path is shown and the entry stays -1;
// the program goes on)
int load_texture(const char *path);

// Loads a bitmap into a new mipmapped GL texture without touching the table; -1 for a null
// path or a bitmap that cannot be read (after the "Error!" box)
int load_bitmap_texture(const char *path);

// The same for a bitmap the program cannot run without: a missing one ends the program with
// status 1 after the "Error!" box
int load_required_bitmap_texture(const char *path);

// load_texture for every key of the table, in table iteration order; returns how many loaded
int load_all_textures();

// Deletes the GL texture of every loaded entry and marks it not loaded again (and forgets the
// bitmaps that could not be read)
void delete_all_textures();

// Forgets which wrap each texture was given, so that the next bind sets it again (after a
// display list that sets it has been called)
void forget_texture_wraps();

//----------------------------------------------------------------------------------
// Public functions: binding a material's texture
//----------------------------------------------------------------------------------

// Frame step of an animated block at time now (ms): past lastSwitch + milTime the frame
// advances (back to 1 when it reaches multiple) and lastSwitch = now. Returns the index into
// the frame list of the bitmap to show (0 for a still texture), -1 for a block without frames.
int advance_texture_frame(texture_block *block, int now);

// Chooses the frame of the material's texture, binds it (the plain white texture when that
// bitmap is not loaded) and sets the wrap: GL_REPEAT on S and T when a rotation angle is not
// 0, else GL_CLAMP_TO_EDGE (only when the texture does not have that wrap already). Leaves the
// matrix mode at GL_MODELVIEW. An animated texture asks for a frame at its next picture.
// 1 when the material's own bitmap was bound, 0 otherwise
int bind_material_texture(material_record *material);

// The 1 x 1 white texture bound for unloaded bitmaps (made on first use)
unsigned int blank_texture();
