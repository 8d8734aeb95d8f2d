/**********************************************************************************************
*
*   materials_gl - sending a material to OpenGL
*
*   Kept apart from the material records and table (materials.cpp), which a build without GL
*   shares.
*
**********************************************************************************************/
#include "materials.h"

#include <GL/gl.h>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Sends one colour weighted by k, its alpha by blend
static void send_colour(GLenum parameter, const std::array<float, 4> &colour, float k, float blend)
{
    GLfloat value[4] = {colour[0] * k, colour[1] * k, colour[2] * k, colour[3] * blend};
    glMaterialfv(GL_FRONT_AND_BACK, parameter, value);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void apply_material(const material_record *material)
{
    static const material_record defaults;
    const material_record &m = material ? *material : defaults;
    send_colour(GL_AMBIENT, m.pLuzDif, m.Ka, m.pBlend);
    send_colour(GL_DIFFUSE, m.pLuzDif, m.Kd, m.pBlend);
    send_colour(GL_SPECULAR, m.pLuzEsp, m.Ks, m.pBlend);
    send_colour(GL_EMISSION, m.pLuzEmi, m.Ka, m.pBlend);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.pShine * 128.0f);
}
