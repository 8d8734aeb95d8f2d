// matforge's material table and texture list: number texts, names, creation, deletion of
// materials and textures, and the paths of new textures.
#include "editor_material.h"
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

// Makes record `index` an animation of the given frames (a still texture for one frame)
void animate(EditorMaterial &material, std::initializer_list<const char *> frames)
{
    material.textured = 1;
    int count = 0;
    for (const char *frame : frames) material.frames[count++] = frame;
    material.frameCode = (int16_t)(count == 1 ? 0 : count + 1);
}

}  // namespace

TEST(MatforgeNumbers, FormatoFloatGivesFileText)
{
    EXPECT_EQ(formatoFloat("0,5"), "0.500");
    EXPECT_EQ(formatoFloat("12,25"), "12.250");
    EXPECT_EQ(formatoFloat("0,125"), "0.125");
    EXPECT_EQ(formatoFloat("1"), "1.000");
    EXPECT_EQ(formatoFloat("1,0"), "1.000");
    EXPECT_EQ(formatoFloat("-1,5"), "-1.500");
    EXPECT_EQ(formatoFloat("0,498039215686275"), "0.498039215686275");
    EXPECT_EQ(formatoFloat("2,"), "2.000");
}

TEST(MatforgeNumbers, FormatoFloat2KeepsTheComma)
{
    EXPECT_EQ(formatoFloat2("0,5"), "0,500");
    EXPECT_EQ(formatoFloat2("12,25"), "12,250");
    EXPECT_EQ(formatoFloat2("0,125"), "0,125");
    EXPECT_EQ(formatoFloat2("1"), "1,000");
    EXPECT_EQ(formatoFloat2("0,12345"), "0,12345");
}

TEST(MatforgeNumbers, IntegersAndDecimalTexts)
{
    EXPECT_EQ(decimalConComa("-12.500"), "-12,500");
    EXPECT_EQ(textoAEntero("250", 0, 1000), 250);
    EXPECT_EQ(textoAEntero(" -7", -100, 100), -7);
    EXPECT_EQ(textoAEntero("12abc", 0, 100), 12);
    EXPECT_EQ(textoAEntero("abc", -5, 5), 0);
    EXPECT_EQ(textoAEntero("99999999999999999999", INT16_MIN, INT16_MAX), INT16_MAX);
    EXPECT_EQ(textoAEntero("-99999", INT16_MIN, INT16_MAX), INT16_MIN);
}

TEST(MatforgePaths, SplitJoinAndSlashes)
{
    std::string directory, file;
    divideRuta("/home/ana/escenas/escena.xml", directory, file);
    EXPECT_EQ(directory, "/home/ana/escenas");
    EXPECT_EQ(file, "escena.xml");
    divideRuta("C:\\escenas\\sub/e.xml", directory, file);
    EXPECT_EQ(directory, "C:\\escenas\\sub");
    EXPECT_EQ(file, "e.xml");
    divideRuta("/e.xml", directory, file);
    EXPECT_EQ(uneRuta(directory, file), "/e.xml");
    divideRuta("e.xml", directory, file);
    EXPECT_EQ(uneRuta(directory, file), "./e.xml");
    EXPECT_EQ(formateaDir("Data\\sub\\a.bmp"), "Data/sub/a.bmp");
}

TEST(MatforgeMaterials, NewMaterialHasTheDefaults)
{
    auto doc = documentWith({"(default)", "nuevo"});
    const EditorMaterial &material = doc->editorMaterials[1];
    EXPECT_EQ(doc->editorMaterialCount, 2);
    EXPECT_EQ(material.name, "nuevo");
    EXPECT_EQ(material.textured, 0);
    EXPECT_EQ(material.frameCode, 0);
    EXPECT_EQ(material.frames[0], "");
    EXPECT_EQ(seccionesXML(*doc).substr(seccionesXML(*doc).find("<IDMaterial codigo=\"nuevo\">")),
              "<IDMaterial codigo=\"nuevo\"><pBlend>1.000</pBlend><pShine>0.500</pShine><texturado>0</texturado>"
              "<Ka>1.000</Ka><Kd>0.900</Kd><Ks>0.100</Ks>"
              "<pLuzDif><R>0.900</R><G>0.900</G><B>0.900</B><A>1.000</A></pLuzDif>"
              "<pLuzEsp><R>0.100</R><G>0.100</G><B>0.100</B><A>1.000</A></pLuzEsp>"
              "<pLuzEmi><R>0.000</R><G>0.000</G><B>0.000</B><A>1.000</A></pLuzEmi></IDMaterial>");
}

TEST(MatforgeMaterials, NamesTheSceneCannotHoldOrThatExistAreRefused)
{
    auto doc = documentWith({"(default)", "ladrillo"});
    EXPECT_EQ(nuevoMaterial(*doc, ""), ALTA_VACIO);
    EXPECT_EQ(nuevoMaterial(*doc, "Ladrillo"), ALTA_DUPLICADO);
    EXPECT_EQ(nuevoMaterial(*doc, "(DEFAULT)"), ALTA_DUPLICADO);
    for (const char *bad : {" ", "dos palabras", "tab\there", "linea\n", "con\"comilla", "a<b", "a>b", "a&b",
                            "\xC3\xB1" "and\xC3\xBA", "\xE9t\xE9", "del\x7F"}) {
        EXPECT_EQ(nuevoMaterial(*doc, bad), ALTA_NO_VALIDO) << bad;
    }
    EXPECT_EQ(nuevoMaterial(*doc, std::string(256, 'x')), ALTA_NO_VALIDO);
    EXPECT_EQ(nuevoMaterial(*doc, std::string(255, 'x')), ALTA_OK);
    EXPECT_EQ(nuevoMaterial(*doc, "m-1_(b).'c'"), ALTA_OK);
    EXPECT_EQ(doc->editorMaterialCount, 4);
}

TEST(MatforgeMaterials, TheTableHolds257)
{
    auto doc = std::make_unique<SceneDocument>();
    for (int i = 0; i < EDITOR_MATERIALS; i++) ASSERT_EQ(nuevoMaterial(*doc, "m" + std::to_string(i)), ALTA_OK);
    EXPECT_EQ(nuevoMaterial(*doc, "otro"), ALTA_TABLA_LLENA);
    EXPECT_EQ(doc->editorMaterialCount, EDITOR_MATERIALS);
    EXPECT_EQ(doc->editorMaterials[256].name, "m256");
}

TEST(MatforgeMaterials, DeleteMovesLaterRecordsDown)
{
    auto doc = documentWith({"(default)", "a", "b", "c"});
    animate(doc->editorMaterials[3], {"x.bmp", "y.bmp"});
    EXPECT_EQ(buscarNumeroMaterial(*doc, "b"), 2);
    EXPECT_EQ(buscarNumeroMaterial(*doc, "B"), -1);

    EXPECT_EQ(borraMaterial(*doc, "B"), -1);
    EXPECT_EQ(borraMaterial(*doc, "b"), 2);
    ASSERT_EQ(doc->editorMaterialCount, 3);
    EXPECT_EQ(doc->editorMaterials[2].name, "c");
    EXPECT_EQ(doc->editorMaterials[2].frameCode, 3);
    EXPECT_EQ(doc->editorMaterials[2].frames[1], "y.bmp");
    EXPECT_EQ(doc->editorMaterials[3].name, "");
    EXPECT_EQ(doc->editorMaterials[3].frames[0], "");
}

TEST(MatforgeMaterials, DefaultIsNeverDeleted)
{
    auto doc = documentWith({"a", "(default)"});
    EXPECT_EQ(borraMaterial(*doc, "(default)"), -1);
    EXPECT_EQ(doc->editorMaterialCount, 2);
    EXPECT_EQ(buscarNumeroMaterial(*doc, "(default)"), 1);
}

TEST(MatforgeTextures, DeletingATextureRemovesEveryReference)
{
    auto doc = documentWith({"(default)", "twice", "only", "still", "plainKept", "other"});
    doc->texturas = {"a.bmp", "b.bmp", "c.bmp"};
    animate(doc->editorMaterials[1], {"a.bmp", "a.bmp", "b.bmp"});
    animate(doc->editorMaterials[2], {"a.bmp", "a.bmp"});
    animate(doc->editorMaterials[3], {"a.bmp"});
    animate(doc->editorMaterials[4], {"c.bmp", "a.bmp", "b.bmp"});
    doc->editorMaterials[4].textured = 0;  // unticked: keeps its frames for later
    animate(doc->editorMaterials[5], {"A.bmp"});

    eliminaTextura(*doc, 0);
    EXPECT_EQ(doc->texturas, (std::vector<std::string>{"b.bmp", "c.bmp"}));

    const EditorMaterial &twice = doc->editorMaterials[1];
    EXPECT_EQ(twice.textured, 1);
    EXPECT_EQ(twice.frameCode, 2);
    EXPECT_EQ(twice.frames[0], "b.bmp");
    EXPECT_EQ(twice.frames[1], "");

    for (int i : {2, 3}) {
        const EditorMaterial &plain = doc->editorMaterials[i];
        EXPECT_EQ(plain.textured, 0) << plain.name;
        EXPECT_EQ(plain.frameCode, 0) << plain.name;
        EXPECT_EQ(plain.frames[0], "") << plain.name;
    }

    const EditorMaterial &kept = doc->editorMaterials[4];
    EXPECT_EQ(kept.textured, 0);
    EXPECT_EQ(kept.frameCode, 3);
    EXPECT_EQ(kept.frames[0], "c.bmp");
    EXPECT_EQ(kept.frames[1], "b.bmp");

    // names are compared exactly
    EXPECT_EQ(doc->editorMaterials[5].textured, 1);
    EXPECT_EQ(doc->editorMaterials[5].frames[0], "A.bmp");

    // the sections no longer name the texture
    EXPECT_EQ(seccionesXML(*doc).find(">a.bmp<"), std::string::npos);
    eliminaTextura(*doc, 5);  // no such row: nothing happens
    EXPECT_EQ(doc->texturas.size(), 2u);
}

TEST(MatforgeTextures, NewTextureMustLieUnderTheScene)
{
    auto doc = std::make_unique<SceneDocument>();
    doc->XMLPath = "/home/ana/escenas";
    std::string name;

    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/escenas/Data/muro.bmp", &name), ALTA_OK);
    EXPECT_EQ(name, "Data/muro.bmp");
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/escenas/suelo.bmp", &name), ALTA_OK);
    EXPECT_EQ(name, "suelo.bmp");
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/escenas/Data/muro.bmp", &name), ALTA_DUPLICADO);
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/otras/muro.bmp", &name), ALTA_FUERA_DIRECTORIO);
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/escenas2/muro.bmp", &name), ALTA_FUERA_DIRECTORIO);
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/escenas/", &name), ALTA_FUERA_DIRECTORIO);
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana", &name), ALTA_FUERA_DIRECTORIO);
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/escenas/mi muro.bmp", &name), ALTA_NO_VALIDO);
    EXPECT_EQ(nuevaTextura(*doc, "/home/ana/escenas/mur\xC3\xB3.bmp", &name), ALTA_NO_VALIDO);
    EXPECT_EQ(doc->texturas, (std::vector<std::string>{"Data/muro.bmp", "suelo.bmp"}));

    doc->XMLPath = "C:\\escenas";
    EXPECT_EQ(nuevaTextura(*doc, "C:\\escenas\\Data\\agua.bmp", &name), ALTA_OK);
    EXPECT_EQ(name, "Data/agua.bmp");

    // a scene in the root directory
    doc->XMLPath = "";
    EXPECT_EQ(nuevaTextura(*doc, "/Data/cielo.bmp", &name), ALTA_OK);
    EXPECT_EQ(name, "Data/cielo.bmp");
}
