/**********************************************************************************************
*
*   scene_files - the files around the open scene: names, recent scenes, bitmaps brought in
*
**********************************************************************************************/
#include "scene_files.h"

#include "scene_save.h"
#include "scene_scan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>  // Required for: stat(), mkdir()

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// The file name of a path and its ending split: "agua.bmp" -> "agua", ".bmp"
static void separaExtension(const std::string &file, std::string &base, std::string &extension)
{
    size_t point = file.rfind('.');
    if (point == std::string::npos || point == 0) {
        base = file;
        extension.clear();
        return;
    }
    base = file.substr(0, point);
    extension = file.substr(point);
}

// 1 for a regular file (a FIFO or a device would block or never end)
static int esFicheroNormal(const std::string &path, std::string &error)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        error = "No se puede leer " + path + ": " + strerror(errno) + ".";
        return 0;
    }
    if (!S_ISREG(info.st_mode)) {
        error = path + " no es un fichero normal; no se ha copiado.";
        return 0;
    }
    return 1;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::string nombreConXml(const std::string &path)
{
    size_t cut = path.find_last_of("/\\");
    std::string file = cut == std::string::npos ? path : path.substr(cut + 1);
    if (file.empty()) return path;
    std::string base, extension;
    separaExtension(file, base, extension);
    return extension.size() > 1 ? path : path + (extension == "." ? "xml" : ".xml");
}

void anadeReciente(std::vector<std::string> &lista, const std::string &path, int maximo)
{
    lista.erase(std::remove(lista.begin(), lista.end(), path), lista.end());
    lista.insert(lista.begin(), path);
    if (maximo >= 0 && lista.size() > (size_t)maximo) lista.resize((size_t)maximo);
}

int dentroDeEscena(const SceneDocument &doc, const std::string &path)
{
    const std::string &root = doc.XMLPath;
    if (root.empty() || path.size() <= root.size() + 1 || path.compare(0, root.size(), root) != 0) return 0;
    return path[root.size()] == '/' || path[root.size()] == '\\';
}

int traeBitmap(const SceneDocument &doc, const std::string &path, std::string &dentro, std::string &error)
{
    if (!esFicheroNormal(path, error)) return 0;
    if (dentroDeEscena(doc, path)) {
        dentro = path;
        return 1;
    }
    std::string bytes;
    if (!leeFichero(path, bytes, error)) return 0;

    const std::string data = uneRuta(doc.XMLPath, "Data");
    if (mkdir(data.c_str(), 0777) != 0 && errno != EEXIST) {
        error = "No se puede crear el directorio " + data + ": " + strerror(errno) + ".";
        return 0;
    }
    std::string directory, file, base, extension;
    divideRuta(path, directory, file);
    separaExtension(file, base, extension);
    for (int n = 1; n < 1000; n++) {
        const std::string name = n == 1 ? file : base + "_" + std::to_string(n) + extension;
        const std::string target = uneRuta(data, name);
        struct stat info;
        if (stat(target.c_str(), &info) == 0) {
            std::string there, ignored;
            if (S_ISREG(info.st_mode) && leeFichero(target, there, ignored) && there == bytes) {
                dentro = target;
                return 1;
            }
            continue;
        }
        if (!escribeFicheroSeguro(data, name, bytes, error)) return 0;
        dentro = target;
        return 1;
    }
    error = "No queda un nombre libre para " + file + " en " + data + ".";
    return 0;
}
