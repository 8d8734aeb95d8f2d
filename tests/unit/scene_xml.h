// Shared by the scene reader tests: documents written as text, a scene to load over and the
// check that it is still there, and loading a text with its messages caught.
#pragma once

#include "scene_file_support.h"
#include "scene_reader.h"

#include <string>
#include <vector>

namespace scene_xml_test {

using namespace scene_file_test;

class SceneReader : public SceneDirTest {};

const std::string PROLOGUE =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n";

inline std::string document(const std::string &body) { return PROLOGUE + "<escena>" + body + "</escena>\n"; }

inline std::string element(const std::string &name, const std::string &content)
{
    return "<" + name + ">" + content + "</" + name + ">";
}

inline std::string colour(const char *name) { return element(name, "<R>1</R><G>0.5</G><B>0.25</B><A>1</A>"); }

// A material; block is the content of texturas (none when empty)
inline std::string material(const std::string &name, int texturado, const std::string &block = "")
{
    std::string text = "<IDMaterial codigo=\"" + name + "\"><pBlend>0.75</pBlend><pShine>0.3</pShine>" +
                       element("texturado", std::to_string(texturado)) + "<Ka>0.2</Ka><Kd>0.8</Kd><Ks>0.1</Ks>" +
                       colour("pLuzDif") + colour("pLuzEsp") + colour("pLuzEmi");
    if (!block.empty()) text += element("texturas", block);
    return text + "</IDMaterial>";
}

inline std::string textureBlock(int multiple, std::initializer_list<const char *> frames)
{
    std::string text = "<TEXscaleX>2</TEXscaleX><TEXscaleY>0.5</TEXscaleY><milTime>120</milTime>" +
                       element("multiple", std::to_string(multiple));
    for (const char *frame : frames) text += element("TexturasID", frame);
    return text;
}

// The parts of one primitiva
struct ObjectXml {
    std::string code = "P0";
    std::string position = "<X>1.5</X><Y>2</Y><Z>-3</Z>";
    std::string rotation = "<Yaw>90</Yaw><Pitch>10</Pitch><Roll>0</Roll>";
    std::vector<std::string> materials;
    std::string kind = "4";
    std::string promediado = "0", wireFrame = "0";
    std::string scale = "<scaleX>1</scaleX><scaleY>1</scaleY><scaleZ>1</scaleZ>";
    std::string events;
    std::string caract = "<cCubo><CUBOlado>10</CUBOlado></cCubo>";
    std::string faces;

    std::string text() const
    {
        std::string t = "<primitiva codigo=\"" + code + "\"><PRIMestado>" + element("miPos", position) +
                        element("miRot", rotation) + "</PRIMestado>";
        for (const std::string &m : materials) t += element("IDPRIMMaterial", m);
        t += element("objeto3D", kind) + element("promediado", promediado) + element("wireFrame", wireFrame) + scale +
             events + element("caract", caract) + faces + "</primitiva>";
        return t;
    }
};

inline std::string condition(int kind, const std::string &holder)
{
    return "<condicion>" + element("tipoCond", std::to_string(kind)) + element("cond", holder) + "</condicion>";
}

inline std::string consequence(int kind, const std::string &holder)
{
    return "<consec>" + element("tipoCons", std::to_string(kind)) + element("cons", holder) + "</consec>";
}

inline std::string activate() { return condition(1, "<cActivate><valueAct>0</valueAct></cActivate>"); }
inline std::string fartherThan(int d)
{
    return condition(2, "<cDistanceMY><valueDMY>" + std::to_string(d) + "</valueDMY></cDistanceMY>");
}
inline std::string move(int x, int y, int z)
{
    return consequence(1, "<cMoveObj>" + element("moveObjX", std::to_string(x)) + element("moveObjY", std::to_string(y)) +
                              element("moveObjZ", std::to_string(z)) + "</cMoveObj>");
}

inline std::string event(const std::string &code, const std::string &content)
{
    return "<evento codigo=\"" + code + "\">" + content + "</evento>";
}

// A scene to load over: one texture, a material, a flag and one object, locked and selected
struct Previous {
    material_record *material;
    primitiva *object;
    int nameBase;
};

inline Previous makePreviousScene()
{
    add_texture_name("Data/antes.bmp");
    material_record *m = addTestMaterial("antes", 0, -1, {});
    addFlag(newFlagRecord("ANTES", 7));
    rebuild_usage_table();
    int index = addTestObject(KIND_CUBE, {4}, object_pose{}, {"antes"});
    setSelectedObject(object_at(index));
    setSelectedIndex(index);
    setLockedObject(0);
    setObjectHeld(1);
    return Previous{m, object_at(index), object_at(index)->nameBase};
}

inline void expectPreviousScene(const Previous &previous)
{
    EXPECT_EQ(texture_count(), 1);
    EXPECT_EQ(texture_gl_name("Data/antes.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(material_count(), 1);
    EXPECT_EQ(find_material("antes"), previous.material);
    EXPECT_EQ(getFlagCount(), 1);
    ASSERT_NE(findFlag("ANTES"), nullptr);
    EXPECT_EQ(findFlag("ANTES")->value, 7);
    EXPECT_EQ(object_count(), 1);
    EXPECT_EQ(object_at(0), previous.object);
    EXPECT_EQ(object_at(0)->nameBase, previous.nameBase);
    EXPECT_EQ(creation_counter(), 1);
    EXPECT_EQ(getSelectedObject(), previous.object);
    EXPECT_EQ(getLockedObject(), 0);
    EXPECT_EQ(getObjectHeld(), 1);
    EXPECT_EQ(usage_entry_at(usage_index_of("antes"))->userCount, 1);
}

// Loads the document and returns what was written on standard error
inline std::string loadText(const std::string &text, int *result)
{
    writeFile("escena.xml", text);
    testing::internal::CaptureStderr();
    *result = loadScene();
    return testing::internal::GetCapturedStderr();
}

// The refusal message of a valid document the reader does not take
inline std::string refusal(const std::string &reason)
{
    return "Error: scene file \"escena.xml\" not loaded: " + reason;
}

}  // namespace scene_xml_test
