/**********************************************************************************************
*
*   export_material - a scene material as a glTF metallic-roughness material
*
*   The editor lights its materials with OpenGL's fixed pipeline (diffuse, specular and
*   emitted colours with weights, a blend factor and a Phong exponent). The mapping:
*     base colour  = pLuzDif R, G, B; alpha = pLuzDif A x pBlend (blended when below 1)
*     emission     = pLuzEmi R, G, B x Ka (Ka also weights the emission in the editor)
*     strength s   = Ks x the largest of pLuzEsp R, G, B
*     roughness    = 1 - s x (1 - (2 / (n + 2))^(1/4)), n = pShine x 128 (the exponent)
*     metallic     = 2s - 1 (0 below s = 0.5: only a strong specular reads as metal)
*   every value clamped to [0, 1]; the colours, shown by the editor as they are (sRGB), are
*   converted to glTF's linear factors. The first bitmap of a textured material becomes a PNG
*   with its rows top first (the editor hands rows bottom first to OpenGL). Bitmaps are opened
*   under the rule for files a scene names (scene_paths): a path outside the scene directory,
*   a pipe or a folder is refused with a message that names the path as the scene writes it.
*
*   DEPENDENCIES: materials, bmp (load_dib_image_file), scene_paths (file_safety),
*                 stb_image_write (PNG encoding)
*
**********************************************************************************************/
#pragma once

#include <string>
#include <vector>

struct material_record;
struct OpenedFile;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct PbrValues {
    float baseColor[4];
    float emissive[3];
    float metallic;
    float roughness;
    bool blend;        // alpha below 1: drawn blended
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The glTF values of a material (null: the default material)
PbrValues pbrValuesOf(const material_record *material);

// The path of the bitmap a textured material shows first; empty when it shows none
std::string firstBitmapOf(const material_record *material);

// Opens a bitmap the scene names (relative to the working directory, the scene directory);
// false with the reason in error
bool openSceneBitmap(const std::string &path, OpenedFile *file, std::string &error);

// Decodes an opened bitmap and encodes it as PNG bytes, rows top first; false with the reason
// (naming path) in error
bool bitmapAsPng(const OpenedFile &file, const std::string &path, std::vector<unsigned char> &png, std::string &error);
