// matforge refuses a scene file it cannot read whole (not well-formed, cut short, a material
// missing a child or holding text where a number goes, tags hidden in a comment), saying the
// line and the reason, and takes a file with parts it does not know, keeping them byte for
// byte through its saves.
#include "matforge_files.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <gtest/gtest.h>

#include <memory>

using namespace mftest;

namespace {

// The error of a load that must be refused; the document stays empty
std::string refusal(const std::string &path)
{
    auto doc = std::make_unique<SceneDocument>();
    std::string error;
    EXPECT_EQ(cargaEscena(*doc, path, error), 0) << path;
    EXPECT_TRUE(doc->texturas.empty() && doc->editorMaterialCount == 0) << "something was read from " << path;
    return error;
}

// The stageworks test scene with one text replaced (the text must be there)
std::string sceneWith(const std::string &what, const std::string &by)
{
    std::string text = dataFile("escena_stageworks.xml");
    size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return at == std::string::npos ? text : text.replace(at, what.size(), by);
}

}  // namespace

TEST(MatforgeCheck, BrokenFilesAreRefusedWithTheLineAndTheReason)
{
    TempDir dir;
    const std::string whole = dataFile("escena_stageworks.xml");
    // materials one per line from line 4 on, so that the lines of the messages tell them apart
    std::string lines = whole;
    for (size_t at = lines.find("<IDMaterial"); at != std::string::npos; at = lines.find("<IDMaterial", at + 2))
        lines.insert(at, "\n");
    std::string withoutSpecular = lines;
    const size_t specular = withoutSpecular.find("<pLuzEsp>", withoutSpecular.find("\"agua\""));
    withoutSpecular.erase(specular, withoutSpecular.find("</pLuzEsp>", specular) + 10 - specular);
    const std::string wrongChild = sceneWith("<Kd>0.700</Kd>", "<Kd>0.700</Kd><brillo>1</brillo>");
    const std::string hidden = sceneWith("<Flags>", "<!-- a > <IDTextura>fantasma.bmp</IDTextura> --><Flags>");
    struct Case {
        std::string name, text;
        std::vector<std::string> said;
    } cases[] = {
        {"cortada.xml", whole.substr(0, 2000), {"no es XML bien formado: línea 3:", "cortado"}},
        {"vacia.xml", "", {"línea 1: el fichero está vacío"}},
        {"cruzada.xml", sceneWith("</Ka>", "</Kx>"), {"línea 3:", "etiqueta de cierre"}},
        {"sin_luz.xml", withoutSpecular, {"línea 6: falta <pLuzEsp> en el material \"agua\""}},
        {"letras.xml", sceneWith("<Ka>0.300</Ka>", "<Ka>0,3</Ka>"), {"<Ka> no es un número en el material \"agua\": \"0,3\""}},
        {"entero.xml", sceneWith("<milTime>250</milTime>", "<milTime>2.5</milTime>"), {"no es un número entero"}},
        {"rgb.xml", sceneWith("<R>0.100</R><G>0.300</G>", "<G>0.300</G>"), {"falta <R> en el material \"agua\""}},
        {"doble.xml", sceneWith("<Ks>0.300</Ks>", "<Ks>0.300</Ks><Ks>0.300</Ks>"), {"<Ks> repetido"}},
        {"extra.xml", wrongChild, {"elemento desconocido <brillo> dentro de <IDMaterial>"}},
        {"sin_codigo.xml", sceneWith("<IDMaterial codigo=\"uno\">", "<IDMaterial>"), {"sin el atributo codigo"}},
        {"oculta.xml", hidden, {"línea 3: un comentario o una sección CDATA contiene etiquetas"}},
        {"tardia.xml", sceneWith("<Flags>", "\n<IDTextura>Data/tarde.bmp</IDTextura><Flags>"),
         {"línea 4: una textura después de los materiales se repetiría al guardar"}},
    };
    for (const Case &c : cases) {
        writeFile(dir.file(c.name), c.text);
        const std::string error = refusal(dir.file(c.name));
        for (const std::string &part : c.said) EXPECT_NE(error.find(part), std::string::npos) << c.name << ": " << error;
        EXPECT_NE(error.find(c.name), std::string::npos) << error;
    }

    // the editor's own conflict check reads the file on disk the same way: nothing is saved
    // over a file that broke since it was loaded
    writeFile(dir.file("escena.xml"), whole);
    auto doc = std::make_unique<SceneDocument>();
    std::string error;
    ASSERT_EQ(cargaEscena(*doc, dir.file("escena.xml"), error), 1) << error;
    writeFile(dir.file("escena.xml"), whole.substr(0, 5000));
    EXPECT_EQ(cargaEscena(*std::make_unique<SceneDocument>(), dir.file("escena.xml"), error), 0);
}

// Comments, instructions, CDATA and elements stageworks does not know, outside the sections,
// line ends of any kind: all of it comes back as it was, around the new sections
TEST(MatforgeCheck, UnknownPartsAreTakenAndKeptByteForByte)
{
    TempDir dir;
    std::string text = sceneWith("<Flags>", "\r\n  <!-- notas -->\r\n<?herramienta x?><extra tipo=\"1\">  <![CDATA[<b>]]> </extra>\n<Flags>");
    text.insert(text.find("<escena>"), "<!-- cabecera -->\n");
    text += "<!-- final -->\r\n";
    writeFile(dir.file("escena.xml"), text);
    std::string error;
    auto doc = std::make_unique<SceneDocument>();
    ASSERT_EQ(cargaEscena(*doc, dir.file("escena.xml"), error), 1) << error;
    EXPECT_EQ(doc->editorMaterialCount, 6);

    ASSERT_EQ(nuevoMaterial(*doc, "piedra"), ALTA_OK);
    ASSERT_EQ(guardaXML(*doc, error), 1) << error;
    const std::string saved = readFile(dir.file("escena.xml"));
    const size_t start = text.find("<escena>") + 8, end = text.rfind("</IDMaterial>") + 13;
    EXPECT_EQ(saved, text.substr(0, start) + seccionesXML(*doc) + text.substr(end));
    EXPECT_NE(seccionesXML(*doc).find("<IDMaterial codigo=\"piedra\">"), std::string::npos);
}
