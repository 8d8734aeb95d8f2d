// The values of matforge's material form without any window: decimal text to control
// values and back, the mapping of a whole material, the working frames, dialog colours and
// the lit material of the preview.
#include "material_form_values.h"
#include "scene_document.h"

#include <gtest/gtest.h>

#include <string>

namespace {

EditorMaterial materialNamed(const char *name)
{
    EditorMaterial material;
    inicializaMaterial(material, name);
    return material;
}

}  // namespace

TEST(MatforgeFormNumbers, DecimalTextReadsCommaPointAndSign)
{
    EXPECT_DOUBLE_EQ(numeroDecimal("0,5"), 0.5);
    EXPECT_DOUBLE_EQ(numeroDecimal("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(numeroDecimal("-1,25"), -1.25);
    EXPECT_DOUBLE_EQ(numeroDecimal("  12"), 12.0);
    EXPECT_DOUBLE_EQ(numeroDecimal(",5"), 0.5);
    EXPECT_DOUBLE_EQ(numeroDecimal("3,5,7"), 3.5);   // stops at the second separator
    EXPECT_DOUBLE_EQ(numeroDecimal("2,5abc"), 2.5);
    EXPECT_DOUBLE_EQ(numeroDecimal(""), 0.0);
    EXPECT_DOUBLE_EQ(numeroDecimal("-"), 0.0);
    EXPECT_DOUBLE_EQ(numeroDecimal(","), 0.0);
    EXPECT_DOUBLE_EQ(numeroDecimal("inf"), 0.0);
    EXPECT_DOUBLE_EQ(numeroDecimal("nan"), 0.0);
}

TEST(MatforgeFormNumbers, ControlValuesAreTruncatedAndHeldInRange)
{
    EXPECT_EQ(valorControl("0,5", 255, 0, 255), 127);      // 127.5 truncated
    EXPECT_EQ(valorControl("0,5", 128, 0, 128), 64);
    EXPECT_EQ(valorControl("0,29", 100, 0, 100), 29);      // not 28 through binary rounding
    EXPECT_EQ(valorControl("0,57", 100, 0, 100), 57);
    EXPECT_EQ(valorControl("0,498039215686275", 255, 0, 255), 127);
    EXPECT_EQ(valorControl("0,999", 100, 0, 100), 99);
    EXPECT_EQ(valorControl("20,000", 128, 0, 128), 128);   // above the range
    EXPECT_EQ(valorControl("-1,500", 128, 0, 128), 0);     // below the range
    EXPECT_EQ(valorControl("0,0", 10, 1, 100), 1);
    EXPECT_EQ(valorControl("basura", 100, 0, 100), 0);
}

TEST(MatforgeFormNumbers, ControlTextHasFifteenDigitsACommaAndTheOneZeroReplacement)
{
    EXPECT_EQ(textoDesdeControl(127, 255), "0,498039215686275");
    EXPECT_EQ(textoDesdeControl(100, 100), "1,000");
    EXPECT_EQ(textoDesdeControl(0, 100), "0,000");
    EXPECT_EQ(textoDesdeControl(25, 100), "0,25");
    EXPECT_EQ(textoDesdeControl(64, 128), "0,5");
    EXPECT_EQ(textoDesdeControl(25, 10), "2,5");
    EXPECT_EQ(textoDesdeControl(20, 10), "2");              // only "1" and "0" are replaced
    EXPECT_EQ(textoDesdeControl(1, 255), "0,00392156862745098");
    EXPECT_EQ(textoDesdeControl(1, 3), "0,333333333333333");
    EXPECT_EQ(formatoFloat(textoDesdeControl(127, 255)), "0.498039215686275");
    EXPECT_EQ(formatoFloat(textoDesdeControl(25, 100)), "0.250");
    EXPECT_EQ(textoNumero(1e-7), "0,0000001");              // never an exponent
    EXPECT_EQ(textoNumero(-0.0), "0");
}

TEST(MatforgeFormNumbers, FrameInterval)
{
    EXPECT_EQ(intervaloDesdeTexto("250"), 250);
    EXPECT_EQ(intervaloDesdeTexto(""), 0);
    EXPECT_EQ(intervaloDesdeTexto("-5"), 0);
    EXPECT_EQ(intervaloDesdeTexto("99999999999"), INTERVALO_MAX);
    EXPECT_TRUE(intervaloNegativo("-5"));
    EXPECT_FALSE(intervaloNegativo("-"));
    EXPECT_FALSE(intervaloNegativo("0"));
    EXPECT_FALSE(intervaloNegativo("12"));
}

TEST(MatforgeFormValues, OpeningShowsTheMaterialInTheControls)
{
    EditorMaterial material = materialNamed("agua");
    material.ka = "0,300";
    material.kd = "0,700";
    material.ks = "0,300";
    material.blend = "0,600";
    material.shine = "0,5";
    material.diffuse = {"0,5", "0,300", "1,000", "0,600"};
    material.specular = {"1,5", "-0,2", "0,0", "1,0"};
    material.textured = 1;
    material.frameInterval = 250;
    material.texScaleX = "2,000";
    material.texScaleY = "0,500";
    material.frameCode = 3;
    material.frames[0] = "Data/agua1.bmp";
    material.frames[1] = "Data/agua2.bmp";
    material.frames[2] = "Data/resto.bmp";  // beyond the count: not a frame

    ValoresForm v = valoresDeMaterial(material);
    EXPECT_EQ(v.ka, 30);
    EXPECT_EQ(v.kd, 70);
    EXPECT_EQ(v.ks, 30);
    EXPECT_EQ(v.blend, 60);
    EXPECT_EQ(v.shine, 64);
    EXPECT_EQ(v.color[LUZ_DIFUSA], (std::array<int, 3>{127, 76, 255}));
    EXPECT_EQ(v.alfa[LUZ_DIFUSA], 60);
    EXPECT_EQ(v.color[LUZ_ESPECULAR], (std::array<int, 3>{255, 0, 0}));  // held in 0..255
    EXPECT_TRUE(v.texturado);
    EXPECT_EQ(v.intervalo, "250");
    EXPECT_EQ(v.scaleX, 20);
    EXPECT_EQ(v.scaleY, 5);
    EXPECT_EQ(v.frames, (std::vector<std::string>{"Data/agua1.bmp", "Data/agua2.bmp"}));
}

TEST(MatforgeFormValues, StillTexturesPlainMaterialsAndEmptyStills)
{
    EditorMaterial still = materialNamed("muro");
    still.textured = 1;
    still.frames[0] = "Data/muro.bmp";
    EXPECT_EQ(valoresDeMaterial(still).frames, std::vector<std::string>{"Data/muro.bmp"});

    // A plain material keeps its texture fields for when it is ticked again
    EditorMaterial plain = still;
    plain.textured = 0;
    ValoresForm v = valoresDeMaterial(plain);
    EXPECT_FALSE(v.texturado);
    EXPECT_EQ(v.frames, std::vector<std::string>{"Data/muro.bmp"});

    // A still texture with no name has no frame
    EditorMaterial empty = materialNamed("vacio");
    empty.textured = 1;
    EXPECT_TRUE(valoresDeMaterial(empty).frames.empty());
    EXPECT_EQ(valoresDeMaterial(empty).scaleX, 10);
    EXPECT_EQ(valoresDeMaterial(empty).intervalo, "0");
}

TEST(MatforgeFormValues, AcceptWritesEveryFieldAsDecimalText)
{
    EditorMaterial material = materialNamed("m");
    ValoresForm v = valoresDeMaterial(material);
    v.ka = 100;
    v.kd = 0;
    v.ks = 25;
    v.blend = 50;
    v.shine = 64;
    v.color[LUZ_DIFUSA] = {127, 255, 0};
    v.alfa[LUZ_DIFUSA] = 100;
    v.color[LUZ_EMISORA] = {51, 0, 0};
    v.alfa[LUZ_EMISORA] = 0;
    aplicaValores(v, material);
    EXPECT_EQ(material.ka, "1,000");
    EXPECT_EQ(material.kd, "0,000");
    EXPECT_EQ(material.ks, "0,25");
    EXPECT_EQ(material.blend, "0,5");
    EXPECT_EQ(material.shine, "0,5");
    EXPECT_EQ(material.diffuse, (std::array<std::string, 4>{"0,498039215686275", "1,000", "0,000", "1,000"}));
    EXPECT_EQ(material.emission, (std::array<std::string, 4>{"0,2", "0,000", "0,000", "0,000"}));
    EXPECT_EQ(material.textured, 0);
}

TEST(MatforgeFormValues, AcceptWritesTheTexturePart)
{
    EditorMaterial material = materialNamed("m");
    ValoresForm v = valoresDeMaterial(material);
    v.texturado = true;
    v.intervalo = "120";
    v.scaleX = 25;
    v.scaleY = 10;
    v.frames = {"a.bmp", "b.bmp"};
    aplicaValores(v, material);
    EXPECT_EQ(material.textured, 1);
    EXPECT_EQ(material.frameInterval, 120);
    EXPECT_EQ(material.frameCode, 3);
    EXPECT_EQ(material.texScaleX, "2,5");
    EXPECT_EQ(material.texScaleY, "1,000");
    EXPECT_EQ(material.frames[0], "a.bmp");
    EXPECT_EQ(material.frames[1], "b.bmp");

    // One frame: a still texture; the old second frame is gone
    v.frames = {"c.bmp"};
    aplicaValores(v, material);
    EXPECT_EQ(material.frameCode, 0);
    EXPECT_EQ(material.frames[0], "c.bmp");
    EXPECT_EQ(material.frames[1], "");

    // Unticked: plain, texture fields kept
    v.texturado = false;
    v.intervalo = "999";
    v.scaleX = 50;
    aplicaValores(v, material);
    EXPECT_EQ(material.textured, 0);
    EXPECT_EQ(material.frameInterval, 120);
    EXPECT_EQ(material.texScaleX, "2,5");
    EXPECT_EQ(material.frames[0], "c.bmp");

    // Ticked with no frame: plain
    v.texturado = true;
    v.frames.clear();
    aplicaValores(v, material);
    EXPECT_EQ(material.textured, 0);
    EXPECT_EQ(material.frames[0], "c.bmp");
}

TEST(MatforgeFormValues, AMaterialSurvivesOpeningAndAccepting)
{
    EditorMaterial material = materialNamed("m");
    material.textured = 1;
    material.frameCode = 4;
    material.frames[0] = "x.bmp";
    material.frames[1] = "y.bmp";
    material.frames[2] = "x.bmp";
    material.frameInterval = 40;
    EditorMaterial accepted = material;
    aplicaValores(valoresDeMaterial(material), accepted);
    EXPECT_EQ(accepted.frameCode, 4);
    EXPECT_EQ(accepted.frameInterval, 40);
    for (int i = 0; i < 3; i++) EXPECT_EQ(accepted.frames[i], material.frames[i]);
    EXPECT_EQ(formatoFloat(accepted.kd), "0.900");
    EXPECT_EQ(formatoFloat(accepted.diffuse[0]), "0.898039215686275");  // 229 / 255
    EXPECT_EQ(accepted.specular[3], "1,000");
}

TEST(MatforgeFormFrames, InsertDeleteAndLimits)
{
    std::vector<std::string> frames;
    EXPECT_EQ(insertaFrame(frames, 1, "a"), 0);
    EXPECT_EQ(insertaFrame(frames, 0, "a"), 1);
    EXPECT_EQ(insertaFrame(frames, 1, "b"), 1);
    EXPECT_EQ(insertaFrame(frames, 2, "c"), 1);
    EXPECT_EQ(borraFrame(frames, 1), 1);
    EXPECT_EQ(frames, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(borraFrame(frames, 2), 0);
    EXPECT_EQ(borraFrame(frames, -1), 0);

    frames.assign(MATERIAL_FRAMES, "f");
    EXPECT_EQ(insertaFrame(frames, MATERIAL_FRAMES, "g"), 0);
    EXPECT_EQ((int)frames.size(), MATERIAL_FRAMES);
}

TEST(MatforgeFormFrames, BorrarFrameMatRemovesAFrameOfARecord)
{
    EditorMaterial material = materialNamed("m");
    material.textured = 1;
    material.frameCode = 4;
    material.frames[0] = "a";
    material.frames[1] = "b";
    material.frames[2] = "c";
    EXPECT_EQ(borrarFrameMat(material, 1), 1);
    EXPECT_EQ(material.frameCode, 3);
    EXPECT_EQ(material.frames[0], "a");
    EXPECT_EQ(material.frames[1], "c");
    EXPECT_EQ(material.frames[2], "");
    EXPECT_EQ(borrarFrameMat(material, 2), 0);

    EditorMaterial still = materialNamed("s");
    still.frames[0] = "a";
    EXPECT_EQ(borrarFrameMat(still, 0), 0);  // a still texture has no animation frame
    EXPECT_EQ(still.frames[0], "a");
}

TEST(MatforgeFormFrames, AnimationWrapsAtTheFrameCount)
{
    EXPECT_EQ(siguienteFrame(0, 3), 1);
    EXPECT_EQ(siguienteFrame(2, 3), 0);
    EXPECT_EQ(siguienteFrame(0, 1), 0);
    EXPECT_EQ(siguienteFrame(0, 0), 0);
    EXPECT_EQ(siguienteFrame(7, 2), 0);  // after frames were deleted
}

TEST(MatforgeFormColours, DialogColoursSplitIntoRedGreenBlue)
{
    std::array<int, 3> rgb{};
    separaColor(0x00336699u, rgb);
    EXPECT_EQ(rgb, (std::array<int, 3>{0x99, 0x66, 0x33}));
    EXPECT_EQ(colorDesdeRGB(rgb), 0x00336699u);
    separaColor(0xFF123456u, rgb);  // bits above blue are ignored
    EXPECT_EQ(rgb, (std::array<int, 3>{0x56, 0x34, 0x12}));
    EXPECT_EQ(colorDesdeRGB({300, -4, 7}), 0x000700FFu);
}

TEST(MatforgeFormPreview, LitMaterialFromTheControls)
{
    ValoresForm v;
    v.ka = 50;
    v.kd = 80;
    v.ks = 20;
    v.blend = 50;
    v.shine = 128;
    v.color[LUZ_DIFUSA] = {255, 51, 0};
    v.alfa[LUZ_DIFUSA] = 100;
    v.color[LUZ_ESPECULAR] = {255, 255, 255};
    v.alfa[LUZ_ESPECULAR] = 40;
    v.color[LUZ_EMISORA] = {0, 0, 255};
    v.alfa[LUZ_EMISORA] = 100;
    v.scaleX = 20;
    v.scaleY = 5;
    MaterialVista m = materialVista(v);
    EXPECT_FLOAT_EQ(m.ambient[0], 0.5f);
    EXPECT_FLOAT_EQ(m.ambient[1], 0.1f);
    EXPECT_FLOAT_EQ(m.ambient[3], 0.5f);
    EXPECT_FLOAT_EQ(m.diffuse[0], 0.8f);
    EXPECT_FLOAT_EQ(m.diffuse[1], 0.16f);
    EXPECT_FLOAT_EQ(m.diffuse[3], 0.5f);
    EXPECT_FLOAT_EQ(m.specular[2], 0.2f);
    EXPECT_FLOAT_EQ(m.specular[3], 0.2f);
    EXPECT_FLOAT_EQ(m.emission[2], 0.5f);
    EXPECT_FLOAT_EQ(m.emission[0], 0.0f);
    EXPECT_FLOAT_EQ(m.shininess, 128.0f);
    EXPECT_FLOAT_EQ(m.scaleX, 2.0f);
    EXPECT_FLOAT_EQ(m.scaleY, 0.5f);
}
