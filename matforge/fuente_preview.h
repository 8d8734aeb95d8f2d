/**********************************************************************************************
*
*   fuente_preview - what the material preview reads from the form that opens it
*
*   The preview draws whatever the form's controls hold on every frame: their values, the
*   frame the animation shows and the document the frame bitmaps belong to. The form
*   offers them through this small interface, so the preview knows nothing else of it.
*
*   DEPENDENCIES: material_form_values, scene_document
*
**********************************************************************************************/
#pragma once

#include "material_form_values.h"
#include "scene_document.h"

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
class FuentePreview {
public:
    // The values the controls hold now
    virtual ValoresForm valores() const = 0;

    // Working frame shown by the animation, -1 when there is none
    virtual int muestraFrame() const = 0;

    // The document the frames' bitmaps are read from
    virtual const SceneDocument &documento() const = 0;

protected:
    ~FuentePreview() = default;
};
