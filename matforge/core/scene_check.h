/**********************************************************************************************
*
*   scene_check - is a scene file fit to be opened: well-formed, and its sections whole?
*
*   The tag scans read a scene file without parsing it as XML, so they would take a broken
*   file (cut short, a tag never closed) as far as it goes and lose the rest on the next save.
*   Before a file is scanned it is parsed once with libxml2, without loading the DTD or
*   anything from the network: it must be well-formed, and every texture and material the
*   scans read must be there whole (each material with every child the editor writes back,
*   numbers where numbers go, nothing inside that the editor would drop). Anything else in the
*   file (flags, objects, elements stageworks does not know) is left alone: it is copied back
*   as it is. A refusal says the line and the reason.
*
*   DEPENDENCIES: libxml2 (parser and tree)
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
// What the parser found in a file that passed
struct InformeEscena {
    int texturas = 0;        // IDTextura elements in the whole file
    int materiales = 0;      // IDMaterial elements before the first PRIMestado
    int lineaDudosa = 0;     // line of the first comment, CDATA or instruction before it (0: none)
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Checks the text of the scene file `fileName`. 1 with the counts in `informe`; 0 with a
// message that names the line and the reason.
int compruebaEscena(const std::string &text, const std::string &fileName, InformeEscena &informe,
                    std::string &error);
