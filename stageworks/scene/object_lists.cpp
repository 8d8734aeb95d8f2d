/**********************************************************************************************
*
*   object_lists - releasing the GL display lists of an object's cell
*
*   Kept apart from the object table (objects.cpp), which a build without GL shares.
*
**********************************************************************************************/
#include "objects.h"

#include <GL/gl.h>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void delete_display_lists(unsigned int first) { glDeleteLists(first, OBJECT_DISPLAY_LISTS); }
