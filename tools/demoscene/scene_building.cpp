/**********************************************************************************************
*
*   scene_building - materials and objects added to the tables for the generated scenes
*
**********************************************************************************************/
#include "scene_building.h"

#include "events.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "records.h"
#include "textures.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void addTexturedMaterial(const char *name, int milTime, std::initializer_list<const char *> frames)
{
    material_record *material = new_material();
    if (material == nullptr) return;
    material->name = name;
    material->texturado = 1;
    material->texture = new_texture_block();
    if (frames.size() > 1) {
        material->texture->milTime = milTime;
        material->texture->multiple = 1;
    }
    for (const char *frame : frames) {
        add_frame(material->texture.get(), frame);
        add_texture_name(frame);
    }
    if (!add_material(material)) free_material(material);
}

void addColouredMaterial(const char *name, float r, float g, float b, float shine, float alpha)
{
    material_record *material = new_material();
    if (material == nullptr) return;
    material->name = name;
    material->pLuzDif = {r, g, b, 1.0f};
    material->pShine = shine;
    material->pBlend = alpha;
    if (!add_material(material)) free_material(material);
}

int storeBuiltObject(primitiva &record, EventSet *events)
{
    int index = store_object(record, events);
    if (index < 0) {
        free_primitiva(&record);
        freeEventSet(events);
        return -1;
    }
    add_user(first_material_name(object_at(index)), object_slot(index));
    return index;
}
