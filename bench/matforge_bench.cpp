// matforge: loading (the tag scans) and saving (new sections, copied rest, temporary file
// and rename) of a scene file of about 1 MB generated here.
#include "scene_save.h"
#include "scene_scan.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string colour(const char *tag, const char *value)
{
    std::string v = value;
    return std::string("<") + tag + "><R>" + v + "</R><G>" + v + "</G><B>" + v + "</B><A>1.000</A></" + tag + ">";
}

// A scene in the form stageworks writes: textures, materials, flags and objects, one line
std::string generatedScene(size_t targetBytes)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n<escena>";
    for (int t = 0; t < 200; t++) text += "<IDTextura>Data/tex" + std::to_string(t) + ".bmp</IDTextura>";
    for (int m = 0; m < 250; m++) {
        text += "<IDMaterial codigo=\"mat" + std::to_string(m) + "\"><pBlend>1.000</pBlend><pShine>0.500</pShine>";
        text += std::string("<texturado>") + (m % 2 ? "1" : "0") + "</texturado><Ka>1.000</Ka><Kd>0.900</Kd><Ks>0.100</Ks>";
        text += colour("pLuzDif", "0.900") + colour("pLuzEsp", "0.100") + colour("pLuzEmi", "0.000");
        if (m % 2) {
            int frames = m % 7;
            text += "<texturas><TEXscaleX>1.000</TEXscaleX><TEXscaleY>1.000</TEXscaleY><milTime>100</milTime>";
            text += "<multiple>" + std::to_string(frames == 0 ? 0 : frames + 1) + "</multiple>";
            for (int f = 0; f < (frames == 0 ? 1 : frames); f++) text += "<TexturasID>Data/tex" + std::to_string((m + f) % 200) + ".bmp</TexturasID>";
            text += "</texturas>";
        }
        text += "</IDMaterial>";
    }
    text += "<Flags>";
    for (int f = 0; f < 50; f++) text += "<Flag>flag" + std::to_string(f) + "</Flag><Value>0</Value>";
    text += "</Flags>";
    for (int p = 0; text.size() < targetBytes; p++) {
        text += "<primitiva codigo=\"P" + std::to_string(p) + "\"><PRIMestado><miPos><X>1.000</X><Y>2.000</Y><Z>-3.000</Z></miPos>"
                "<miRot><Yaw>0.000</Yaw><Pitch>0.000</Pitch><Roll>0.000</Roll></miRot></PRIMestado>"
                "<IDPRIMMaterial>mat" + std::to_string(p % 250) + "</IDPRIMMaterial><objeto3D>4</objeto3D><promediado>0</promediado>"
                "<wireFrame>0</wireFrame><scaleX>1.000</scaleX><scaleY>1.000</scaleY><scaleZ>1.000</scaleZ>"
                "<evento codigo=\"0\"><condicion><tipoCond>1</tipoCond><cond><cActivate><valueAct>0</valueAct></cActivate></cond></condicion>"
                "<consec><tipoCons>1</tipoCons><cons><cMoveObj><moveObjX>0</moveObjX><moveObjY>5</moveObjY><moveObjZ>0</moveObjZ></cMoveObj></cons></consec></evento>"
                "<caract><cCubo><CUBOlado>20</CUBOlado></cCubo></caract>"
                "<caras codigo=\"C0\"><agujeros codigo=\"Ag0\"><numAristas>3</numAristas>"
                "<AGUvertices codigo=\"AgA0\"><X>0.000</X><Y>0.000</Y><Z>0.000</Z></AGUvertices>"
                "<AGUvertices codigo=\"AgA1\"><X>1.000</X><Y>0.000</Y><Z>0.000</Z></AGUvertices>"
                "<AGUvertices codigo=\"AgA2\"><X>0.000</X><Y>1.000</Y><Z>0.000</Z></AGUvertices></agujeros></caras></primitiva>";
    }
    return text + "</escena>\n";
}

// The generated scene in a temporary directory, made once for all benchmarks
struct SceneFixture {
    std::string directory;
    std::string path;
    size_t bytes = 0;
    SceneFixture()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "matforge_bench.XXXXXX").string();
        if (mkdtemp(&pattern[0]) == nullptr) std::abort();
        directory = pattern;
        path = directory + "/escena.xml";
        std::string text = generatedScene(1 << 20);
        bytes = text.size();
        std::ofstream(path, std::ios::binary) << text;
    }
    ~SceneFixture()
    {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
};

SceneFixture &fixture()
{
    static SceneFixture scene;
    return scene;
}

void BM_LoadScene(benchmark::State &state)
{
    SceneFixture &scene = fixture();
    for (auto _ : state) {
        auto doc = std::make_unique<SceneDocument>();
        std::string error;
        if (!cargaEscena(*doc, scene.path, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(doc->editorMaterialCount);
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * scene.bytes));
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

void BM_SaveScene(benchmark::State &state)
{
    SceneFixture &scene = fixture();
    auto doc = std::make_unique<SceneDocument>();
    std::string error;
    if (!cargaEscena(*doc, scene.path, error)) state.SkipWithError(error.c_str());
    doc->XMLFileDestino = "copia.xml";
    for (auto _ : state) {
        if (!guardaXML(*doc, error)) state.SkipWithError(error.c_str());
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * scene.bytes));
}
BENCHMARK(BM_SaveScene)->Unit(benchmark::kMillisecond);

}  // namespace
