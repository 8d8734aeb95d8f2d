// matforge's material table, texture list and form values without any window: number texts,
// names, creation and deletion of materials and textures, paths of new textures, and the
// mapping between decimal text and the form's controls.
#include "editor_material.h"
#include "material_form_values.h"
#include "scene_document.h"
#include "scene_save.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<SceneDocument> documentWith(std::initializer_list<const char *> names)
{
    auto doc = std::make_unique<SceneDocument>();
    for (const char *name : names) EXPECT_EQ(nuevoMaterial(*doc, name), ALTA_OK) << name;
    return doc;
}

// Makes a material an animation of the given frames (a still texture for one frame)
void animate(EditorMaterial &material, std::initializer_list<const char *> frames)
{
    material.textured = 1;
    int count = 0;
    for (const char *frame : frames) material.frames[count++] = frame;
    material.frameCode = (int16_t)(count == 1 ? 0 : count + 1);
}

}  // namespace

TEST(MatforgeNumbers, FileAndControlTexts)
{
    const std::pair<std::string, std::string> texts[] = {
        {formatoFloat("0,5"), "0.500"},    {formatoFloat("-1,5"), "-1.500"},     {formatoFloat("2,"), "2.000"},
        {formatoFloat("0,498039215686275"), "0.498039215686275"},              {formatoFloat2("1"), "1,000"},
        {formatoFloat2("0,12345"), "0,12345"}, {decimalConComa("-12.500"), "-12,500"},
        {formateaDir("Data\\sub\\a.bmp"), "Data/sub/a.bmp"}, {textoDesdeControl(20, 10), "2"},  // only "1" and "0" get decimals
        {textoNumero(1e-7), "0,0000001"}};  // never an exponent
    for (auto &[got, expected] : texts) EXPECT_EQ(got, expected);
    const std::pair<double, double> numbers[] = {
        {numeroDecimal("3,5,7"), 3.5}, {numeroDecimal("inf"), 0}, {numeroDecimal("nan"), 0},
        {valorControl("0,29", 100, 0, 100), 29},  // not 28 through binary fractions
        {valorControl("20,000", 128, 0, 128), 128}, {valorControl("-1,500", 128, 0, 128), 0},
        {textoAEntero("99999999999999999999", INT16_MIN, INT16_MAX), INT16_MAX},
        {intervaloDesdeTexto("99999999999"), INTERVALO_MAX}};
    for (auto [got, expected] : numbers) EXPECT_EQ(got, expected);
}

TEST(MatforgeMaterials, NamesTheSceneCannotHoldOrThatExistAreRefusedAndTheTableIsFull)
{
    auto doc = documentWith({"(default)", "ladrillo"});
    EXPECT_EQ(nuevoMaterial(*doc, ""), ALTA_VACIO);
    EXPECT_EQ(nuevoMaterial(*doc, "(DEFAULT)"), ALTA_DUPLICADO);
    for (const char *bad : {" ", "dos palabras", "linea\n", "con\"comilla", "a<b", "a>b", "a&b", "\xC3\xB1", "del\x7F"})
        EXPECT_EQ(nuevoMaterial(*doc, bad), ALTA_NO_VALIDO) << bad;
    EXPECT_EQ(nuevoMaterial(*doc, std::string(256, 'x')), ALTA_NO_VALIDO);
    EXPECT_EQ(nuevoMaterial(*doc, "m-1_(b).'c'"), ALTA_OK);
    for (int i = 3; i < EDITOR_MATERIALS; i++) ASSERT_EQ(nuevoMaterial(*doc, "m" + std::to_string(i)), ALTA_OK);
    EXPECT_EQ(nuevoMaterial(*doc, "otro"), ALTA_TABLA_LLENA);
}

TEST(MatforgeMaterials, DeleteMovesLaterRecordsDownAndNeverTakesTheDefault)
{
    auto doc = documentWith({"a", "(default)", "b", "c"});
    animate(doc->editorMaterials[3], {"x.bmp", "y.bmp"});
    EXPECT_EQ(borraMaterial(*doc, "(default)"), -1);
    EXPECT_EQ(borraMaterial(*doc, "B"), -1);
    EXPECT_EQ(borraMaterial(*doc, "b"), 2);
    EXPECT_EQ(doc->editorMaterialCount, 3);
    EXPECT_EQ(doc->editorMaterials[2].frames[1], "y.bmp");
    EXPECT_EQ(doc->editorMaterials[3].name, "");
}

TEST(MatforgeTextures, DeletingATextureRemovesEveryReference)
{
    auto doc = documentWith({"(default)", "twice", "only", "plainKept", "other"});
    doc->texturas = {"a.bmp", "b.bmp", "c.bmp"};
    animate(doc->editorMaterials[1], {"a.bmp", "a.bmp", "b.bmp"});
    animate(doc->editorMaterials[2], {"a.bmp", "a.bmp"});
    animate(doc->editorMaterials[3], {"c.bmp", "a.bmp", "b.bmp"});
    doc->editorMaterials[3].textured = 0;  // unticked: keeps its frames for later
    animate(doc->editorMaterials[4], {"A.bmp"});
    eliminaTextura(*doc, 0);
    eliminaTextura(*doc, 5);  // no such row: nothing happens
    EXPECT_EQ(doc->texturas, (std::vector<std::string>{"b.bmp", "c.bmp"}));
    EXPECT_EQ(doc->editorMaterials[1].frameCode, 2);  // one frame left, saved as a still texture
    EXPECT_EQ(doc->editorMaterials[1].frames[0] + doc->editorMaterials[1].frames[1], "b.bmp");
    EXPECT_EQ(doc->editorMaterials[2].textured, 0);
    EXPECT_EQ(doc->editorMaterials[3].frameCode, 3);
    EXPECT_EQ(doc->editorMaterials[3].frames[1], "b.bmp");
    EXPECT_EQ(doc->editorMaterials[4].frames[0], "A.bmp");  // names are compared exactly
    EXPECT_EQ(seccionesXML(*doc).find(">a.bmp<"), std::string::npos);
}

TEST(MatforgeTextures, NewTextureMustLieUnderTheScene)
{
    auto doc = std::make_unique<SceneDocument>();
    doc->XMLPath = "/home/ana/escenas";
    std::string name;
    const std::pair<const char *, ResultadoAlta> results[] = {
        {"/home/ana/escenas/Data/muro.bmp", ALTA_OK},         {"/home/ana/escenas/Data/muro.bmp", ALTA_DUPLICADO},
        {"/home/ana/escenas2/muro.bmp", ALTA_FUERA_DIRECTORIO}, {"/home/ana/escenas/", ALTA_FUERA_DIRECTORIO},
        {"/home/ana/escenas/mi muro.bmp", ALTA_NO_VALIDO}};
    for (auto [path, result] : results) EXPECT_EQ(nuevaTextura(*doc, path, &name), result) << path;
    EXPECT_EQ(doc->texturas, std::vector<std::string>{"Data/muro.bmp"});
    doc->XMLPath = "";  // a scene in the root directory
    EXPECT_EQ(nuevaTextura(*doc, "/Data/cielo.bmp", &name), ALTA_OK);
    EXPECT_EQ(name, "Data/cielo.bmp");
}

TEST(MatforgeFormValues, FrameLimits)
{
    std::vector<std::string> frames(MATERIAL_FRAMES, "f");
    EXPECT_EQ(insertaFrame(frames, MATERIAL_FRAMES, "g"), 0);
    EXPECT_EQ(borraFrame(frames, MATERIAL_FRAMES), 0);
    EXPECT_EQ((int)frames.size(), MATERIAL_FRAMES);
    EXPECT_EQ(siguienteFrame(7, 2), 0);  // after frames were deleted
}
