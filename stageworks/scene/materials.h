/**********************************************************************************************
*
*   materials - named materials, their texture blocks and the material table
*
*   A material holds three light colours with weights, a blend factor, a shininess and, when
*   it is textured, a texture block naming one bitmap or a cycle of bitmaps (an animated
*   texture) with a texture scale and rotation. Materials live in the material table (256
*   buckets, keyed by name), which owns them. The default material "(default)" is made at
*   start-up. Sending a material to OpenGL is apply_material (materials_gl.cpp, apart so that
*   a build without GL can share the rest).
*
*   DEPENDENCIES: hash_table, records (DEFAULT_MATERIAL_NAME), OpenGL (glMaterialfv)
*
**********************************************************************************************/
#pragma once

#include "hash_table.h"
#include "records.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int MATERIAL_TABLE_BUCKETS = 256;

// Texture of a textured material: one bitmap (multiple 0) or m - 1 frames (multiple m >= 2)
struct texture_block {
    float TEXscaleX = 1.0f, TEXscaleY = 1.0f;
    float rotationX = 0.0f, rotationY = 0.0f, rotationZ = 0.0f;   // degrees
    int milTime = 0;          // ms each frame of an animation stays
    int lastSwitch = 0;       // elapsed ms at the last frame change
    int multiple = 0;         // 0 one bitmap; m >= 2 animated with m - 1 frames; 1 no frames yet
    int currentFrame = 0;     // 1-based frame shown, 0 before the first change
    std::vector<std::string> frames;   // bitmap paths (TexturasID), in order
};

struct material_record {
    std::string name = DEFAULT_MATERIAL_NAME;
    std::unique_ptr<texture_block> texture;   // present when texturado is 1
    std::array<float, 4> pLuzEsp = {1.0f, 1.0f, 1.0f, 1.0f};   // specular colour
    std::array<float, 4> pLuzDif = {1.0f, 1.0f, 1.0f, 1.0f};   // base (diffuse) colour
    std::array<float, 4> pLuzEmi = {0.0f, 0.0f, 0.0f, 1.0f};   // emitted colour
    float Ka = 1.0f;          // ambient weight (also weights the emission)
    float Kd = 0.9f;          // diffuse weight
    float Ks = 0.1f;          // specular weight
    float pBlend = 1.0f;      // opacity factor applied to every alpha
    float pShine = 0.5f;      // fraction of GL's largest shininess exponent (sent x 128)
    int texturado = 0;        // 1 = textured
    int wrapCount = 1;        // tiles around a curved wall
};

//----------------------------------------------------------------------------------
// Public functions: records
//----------------------------------------------------------------------------------

// A new material with the defaults (name "(default)"); release with free_material
material_record *new_material();

// Releases a material that no table owns (with its texture block)
void free_material(material_record *material);

// A new texture block with the defaults
std::unique_ptr<texture_block> new_texture_block();

// Frame-list rule of a file reader: multiple 0 makes the list this one name (multiple stays
// 0); multiple 1 makes the list this one name and multiple 2; otherwise appends the name and
// multiple goes up by one
void add_frame(texture_block *block, const char *name);

// 1 when the material is drawn with a texture: texturado 1 with a texture block that names at
// least one bitmap (a block with multiple 1 has no frames: drawn untextured)
int material_is_textured(const material_record *material);

// The values a material sends to OpenGL
struct material_gl_values {
    float ambient[4], diffuse[4], specular[4], emission[4];
    float shininess;
};

// The values apply_material sends: ambient = diffuse colour x Ka, diffuse x Kd, specular x Ks,
// emission x Ka, every alpha x pBlend, shininess pShine x 128. A null material: the defaults
material_gl_values material_values(const material_record *material);

// Sends the material's values on GL_FRONT_AND_BACK (a null material sends the defaults)
void apply_material(const material_record *material);

// Sends values worked out before (a material as it was)
void apply_material_values(const material_gl_values &values);

// Loads the texture matrix of a texture block: its scale, then its turn about the texture's
// centre (leaves the model-view matrix current)
void apply_texture_matrix(const texture_block &block);

// 1 when the material draws fully opaque (the alpha apply_material sends with its diffuse
// colour is 1 or more, so blending would give the source colour); null is the defaults
int material_is_opaque(const material_record *material);

//----------------------------------------------------------------------------------
// Public functions: the material table
//----------------------------------------------------------------------------------

// Makes a new empty material table (256 buckets); an existing one is cleared first
void create_material_table();

// Frees every material and the table itself; the registered hook runs first (the usage table
// empties its entries, which point at the records)
void clear_material_table();

// Registers what runs whenever clear_material_table frees the records (null: nothing)
void set_material_table_cleared_hook(void (*hook)());

// The table (null before create_material_table); iterate it with hash_table_first/next
hash_table *material_table();

// Number of materials in the table
int material_count();

// Inserts the material under its name: 1 when the table took it, 0 when the name is present
// already, there is no table or no memory (the caller still owns the record then)
int add_material(material_record *material);

// The material of that name, or null
material_record *find_material(const char *name);

// Start-up: makes "(default)" and adds it to the table
void add_default_material();
