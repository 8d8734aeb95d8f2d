/**********************************************************************************************
*
*   materials - named materials, their texture blocks and the material table
*
**********************************************************************************************/
#include "materials.h"

#include <cstring>
#include <new>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static hash_table *materials = nullptr;
static void (*tableCleared)() = nullptr;   // the usage table's clean-up, once registered

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// One colour weighted by k, its alpha by blend
static void weigh_colour(float out[4], const std::array<float, 4> &colour, float k, float blend)
{
    out[0] = colour[0] * k;
    out[1] = colour[1] * k;
    out[2] = colour[2] * k;
    out[3] = colour[3] * blend;
}

//----------------------------------------------------------------------------------
// Public functions: records
//----------------------------------------------------------------------------------
material_record *new_material() { return new (std::nothrow) material_record(); }

void free_material(material_record *material) { delete material; }

std::unique_ptr<texture_block> new_texture_block() { return std::make_unique<texture_block>(); }

void add_frame(texture_block *block, const char *name)
{
    if (block == nullptr || name == nullptr) return;
    if (block->multiple == 0) {
        block->frames.assign(1, name);
    } else if (block->multiple == 1) {
        block->frames.assign(1, name);
        block->multiple = 2;
    } else {
        block->frames.emplace_back(name);
        block->multiple++;
    }
}

int material_is_textured(const material_record *material)
{
    if (material == nullptr || material->texturado != 1 || !material->texture) return 0;
    const texture_block &block = *material->texture;
    return (block.multiple != 1 && !block.frames.empty()) ? 1 : 0;
}

material_gl_values material_values(const material_record *material)
{
    static const material_record defaults;
    const material_record &m = material ? *material : defaults;
    material_gl_values values = {};
    weigh_colour(values.ambient, m.pLuzDif, m.Ka, m.pBlend);
    weigh_colour(values.diffuse, m.pLuzDif, m.Kd, m.pBlend);
    weigh_colour(values.specular, m.pLuzEsp, m.Ks, m.pBlend);
    weigh_colour(values.emission, m.pLuzEmi, m.Ka, m.pBlend);
    values.shininess = m.pShine * 128.0f;
    return values;
}

int material_is_opaque(const material_record *material)
{
    static const material_record defaults;
    const material_record &m = material ? *material : defaults;
    // NOTE: the same product send_colour makes; lighting takes its alpha from the diffuse colour
    float alpha = m.pLuzDif[3] * m.pBlend;
    return alpha >= 1.0f ? 1 : 0;
}

//----------------------------------------------------------------------------------
// Public functions: the material table
//----------------------------------------------------------------------------------
void create_material_table()
{
    clear_material_table();
    materials = hash_table_create(MATERIAL_TABLE_BUCKETS);
}

void clear_material_table()
{
    // NOTE: what points at the records freed here lets go of them first
    if (tableCleared != nullptr) tableCleared();
    if (materials == nullptr) return;
    hash_iterator it = {};
    for (void *data = hash_table_first(materials, &it, nullptr, nullptr); data != nullptr;
         data = hash_table_next(materials, &it, nullptr, nullptr)) {
        free_material((material_record *)data);
    }
    hash_table_destroy(materials);
    materials = nullptr;
}

void set_material_table_cleared_hook(void (*hook)()) { tableCleared = hook; }

hash_table *material_table() { return materials; }

int material_count() { return materials ? (int)hash_table_size(materials) : 0; }

int add_material(material_record *material)
{
    if (materials == nullptr || material == nullptr) return 0;
    const std::string &name = material->name;
    return hash_table_insert(materials, material, (uint32_t)name.size(), name.data()) == HASH_OK ? 1 : 0;
}

material_record *find_material(const char *name)
{
    if (materials == nullptr || name == nullptr) return nullptr;
    return (material_record *)hash_table_get(materials, (uint32_t)strlen(name), name);
}

void add_default_material()
{
    material_record *material = new_material();
    if (material != nullptr && !add_material(material)) free_material(material);
}
