/**********************************************************************************************
*
*   materials_gl - sending a material and its texture matrix to OpenGL
*
*   Kept apart from the material records and table (materials.cpp), which a build without GL
*   shares.
*
**********************************************************************************************/
#include "materials.h"

#include <GL/gl.h>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void apply_material(const material_record *material) { apply_material_values(material_values(material)); }

void apply_material_values(const material_gl_values &values)
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, values.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, values.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, values.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, values.emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, values.shininess);
}

void apply_texture_matrix(const texture_block &block)
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(block.TEXscaleX, block.TEXscaleY, 1.0f);
    glTranslatef(0.5f, 0.5f, 0.0f);
    glRotatef(block.rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(block.rotationY, 0.0f, 1.0f, 0.0f);
    glRotatef(block.rotationZ, 0.0f, 0.0f, 1.0f);
    glTranslatef(-0.5f, -0.5f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
}
