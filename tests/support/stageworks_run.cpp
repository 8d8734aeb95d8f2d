/**********************************************************************************************
*
*   stageworks_run - the real stageworks program on a private X server, for end-to-end tests
*
**********************************************************************************************/
#include "stageworks_run.h"

#include <X11/keysym.h>  // Required for: XK_F9

#include <sys/stat.h>  // Required for: mkdir()

#include <cstdio>  // Required for: std::remove()

bool StageworksRun::startServer(bool xvfb)
{
    xdriver::setScriptsDir(std::string(SW_SOURCE_DIR) + "/scripts");
    if (!server.start(xvfb)) return false;
    return input.open(server.display);
}

bool StageworksRun::prepareWorkDir()
{
    workDir = xdriver::makeTempDir("stageworks-e2e");
    if (workDir.empty()) return false;
    return xdriver::copyTree(SW_RUNDATA_DIR, workDir);
}

bool StageworksRun::launch(const std::vector<std::string> &options)
{
    std::vector<std::string> argv = {SW_STAGEWORKS_BIN};
    argv.insert(argv.end(), options.begin(), options.end());
    return app.spawn(argv, workDir, server.display);
}

bool StageworksRun::waitReady(int timeoutMs)
{
    if (!app.waitForOutput(" MainLoop started...\n", timeoutMs)) return false;
    if (!xdriver::waitUntil([&] { return input.hasMappedWindow(); }, timeoutMs)) return false;
    // NOTE: until the first frame is swapped, which on a loaded machine (or under the
    // sanitizers with a large scene) can take seconds, the screen shows only black or the
    // server's grey root pattern; every frame of the program has the sky's colour in it
    xdriver::waitUntil(
        [&] {
            app.pump(0);
            xdriver::Image shot = input.screenshot();
            for (int y = 0; y < shot.height; y += 16)
                for (int x = 0; x < shot.width; x += 16) {
                    const uint8_t *p = shot.pixel(x, y);
                    if (p[0] != p[1] || p[1] != p[2]) return true;
                }
            return app.exited;
        },
        timeoutMs, 100);
    // A few frames so that the first picture is on the screen
    long end = xdriver::nowMs() + 500;
    while (xdriver::nowMs() < end) app.pump(20);
    return !app.exited;
}

bool StageworksRun::start(const std::vector<std::string> &options, bool xvfb)
{
    if (!startServer(xvfb) || !prepareWorkDir() || !launch(options) || !waitReady()) return false;
    input.moveMouse(512, 384);
    return true;
}

bool StageworksRun::saveWithF9(std::string &text, int timeoutMs)
{
    const std::string file = path("escena.xml");
    std::remove(file.c_str());
    input.tap(XK_F9);
    return xdriver::waitUntil(
        [&] { return xdriver::readFile(file, text) && text.find("</escena>") != std::string::npos; }, timeoutMs, 50);
}

std::string StageworksRun::saveScreenshot(const xdriver::Image &image, const std::string &name) const
{
    std::string dir = std::string(SW_BUILD_DIR) + "/screenshots";
    mkdir(dir.c_str(), 0755);
    std::string file = dir + "/" + name + ".png";
    xdriver::writePng(image, file);
    return file;
}

StageworksRun::~StageworksRun()
{
    app.kill();
    input.close();
    server.stop();
    xdriver::removeTree(workDir);
}

bool appearInOrder(const std::string &text, const char *const *lines, int count)
{
    size_t from = 0;
    for (int i = 0; i < count; i++) {
        size_t at = text.find(lines[i], from);
        if (at == std::string::npos) return false;
        from = at + 1;
    }
    return true;
}

size_t occurrences(const std::string &text, const std::string &what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) count++;
    return count;
}

std::string readText(const std::string &path)
{
    std::string text;
    xdriver::readFile(path, text);
    return text;
}
