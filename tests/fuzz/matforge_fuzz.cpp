// libFuzzer target: matforge opening arbitrary scene files. Each input is written as
// escena.xml in a scratch folder and opened as the editor opens a file. A file it takes must
// save, with one material more, to a file it takes again with the same textures and that
// material more; a file it refuses must have left nothing in the document.
#include "scene_save.h"
#include "scene_scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>

// NOTE: a document holds the whole material table (about a megabyte); one of each is kept
static SceneDocument *opened, *reopened;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    mkdir("matforge_work", 0755);
    if (chdir("matforge_work") != 0) abort();
    opened = new SceneDocument();
    reopened = new SceneDocument();
    return 0;
}

static void writeScene(const std::string &text)
{
    std::ofstream("escena.xml", std::ios::binary | std::ios::trunc) << text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    writeScene(text);
    opened->texturas.clear();
    for (int i = 0; i < opened->editorMaterialCount; i++) opened->editorMaterials[(size_t)i] = EditorMaterial{};
    opened->editorMaterialCount = 0;
    std::string error;
    if (!cargaEscena(*opened, "./escena.xml", error)) {
        if (!opened->texturas.empty() || opened->editorMaterialCount != 0) abort();
        return 0;
    }
    const size_t textures = opened->texturas.size();
    const int materials = opened->editorMaterialCount;
    if (nuevoMaterial(*opened, "fuzz_nuevo") != ALTA_OK) return 0;  // a full table or the name taken

    std::string saved;
    if (!componeXML(*opened, text, saved, error)) abort();
    writeScene(saved);
    if (!cargaEscena(*reopened, "./escena.xml", error)) abort();
    if (reopened->texturas.size() != textures || reopened->editorMaterialCount != materials + 1) abort();
    if (reopened->editorMaterials[materials].name != "fuzz_nuevo") abort();
    return 0;
}
