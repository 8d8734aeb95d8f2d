/**********************************************************************************************
*
*   demo_scene - TEMPORARY: a few objects to look at until scenes are read from escena.xml
*
**********************************************************************************************/
#include "demo_scene.h"

#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "records.h"
#include "textures.h"

#include <array>
#include <initializer_list>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

struct DemoObject {
    int kind;
    const char *material;
    object_pose pose;
    float scale;
};

// In front of the start camera (-41.51, 30, 38.74), which looks toward +X -Z, slightly down
const std::array<DemoObject, 5> demoObjects = {{
    {KIND_CUBE, "ladrillo", {-12.0f, 22.0f, -20.0f, 20.0f, 0.0f, 0.0f}, 3.0f},
    {KIND_SPHERE, "agua", {-3.0f, 22.0f, -3.0f, 0.0f, 0.0f, 0.0f}, 3.0f},
    {KIND_CYLINDER, "rojo", {11.0f, 18.0f, 3.0f, 45.0f, 0.0f, 0.0f}, 2.5f},
    {KIND_PYRAMID, "madera", {17.0f, 22.0f, 14.0f, 30.0f, 0.0f, 0.0f}, 3.0f},
    {KIND_TRAPEZOID, "marmol", {-16.0f, 12.0f, -2.0f, 10.0f, 0.0f, 0.0f}, 3.0f},
}};

// A material with a still texture
material_record *stillMaterial(const char *name, const char *bitmap)
{
    material_record *material = new_material();
    if (material == nullptr) return nullptr;
    material->name = name;
    material->texturado = 1;
    material->texture = new_texture_block();
    add_frame(material->texture.get(), bitmap);
    add_texture_name(bitmap);
    return material;
}

// A material whose texture cycles through the bitmaps
material_record *animatedMaterial(const char *name, int milTime, std::initializer_list<const char *> frames)
{
    material_record *material = new_material();
    if (material == nullptr) return nullptr;
    material->name = name;
    material->texturado = 1;
    material->texture = new_texture_block();
    material->texture->milTime = milTime;
    material->texture->multiple = 1;
    for (const char *frame : frames) {
        add_frame(material->texture.get(), frame);
        add_texture_name(frame);
    }
    return material;
}

// A plain coloured material
material_record *colouredMaterial(const char *name, float r, float g, float b)
{
    material_record *material = new_material();
    if (material == nullptr) return nullptr;
    material->name = name;
    material->pLuzDif = {r, g, b, 1.0f};
    material->pShine = 0.2f;
    return material;
}

void addOrFree(material_record *material)
{
    if (material != nullptr && !add_material(material)) free_material(material);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void placeTemporaryDemoObjects()
{
    addOrFree(stillMaterial("ladrillo", "Data/ladrillo.bmp"));
    addOrFree(stillMaterial("madera", "Data/madera.bmp"));
    addOrFree(stillMaterial("marmol", "Data/marmol.bmp"));
    addOrFree(animatedMaterial("agua", 300, {"Data/agua1.bmp", "Data/agua2.bmp", "Data/agua3.bmp"}));
    addOrFree(colouredMaterial("rojo", 0.85f, 0.18f, 0.12f));
    rebuild_usage_table();
    load_all_textures();

    for (const DemoObject &demo : demoObjects) {
        set_current_material(demo.material);
        int index = create_object(demo.kind);
        set_current_material(DEFAULT_MATERIAL_NAME);
        primitiva *object = object_at(index);
        if (object == nullptr) continue;
        object->pose = demo.pose;
        object->promediado = (demo.kind == KIND_SPHERE || demo.kind == KIND_CYLINDER) ? 1 : 0;
        object->scaleX = object->scaleY = object->scaleZ = demo.scale;
        finish_scaling(object);
    }
}
