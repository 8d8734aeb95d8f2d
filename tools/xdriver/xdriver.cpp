/**********************************************************************************************
*
*   xdriver - drive a real program on a private X server, as a person would
*
**********************************************************************************************/
#include "xdriver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace xdriver {

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
#ifdef XDRIVER_SCRIPTS_DIR
static std::string scriptsDir = XDRIVER_SCRIPTS_DIR;
#else
static std::string scriptsDir = "scripts";
#endif

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Runs a shell command and returns its standard output
static bool runCapture(const std::string &command, std::string &output)
{
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[256];
    output.clear();
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    return pclose(pipe) == 0;
}

static void sleepMs(int ms)
{
    struct timespec ts = {ms / 1000, (long)(ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

//----------------------------------------------------------------------------------
// XServer
//----------------------------------------------------------------------------------
bool XServer::start(bool xvfb)
{
    std::string output;
    script = scriptsDir + "/xserver.sh";
    std::string command = "'" + script + "' start" + (xvfb ? " --xvfb" : "") +
                          " --owner " + std::to_string((long)getpid());
    if (!runCapture(command, output)) return false;
    char name[64] = {0};
    int serverPid = 0;
    if (sscanf(output.c_str(), "%63s %d", name, &serverPid) != 2) return false;
    display = name;
    pid = serverPid;
    return true;
}

void XServer::stop()
{
    if (pid <= 0) return;
    std::string output;
    runCapture("'" + script + "' stop " + std::to_string(pid), output);
    pid = 0;
}

XServer::~XServer() { stop(); }

//----------------------------------------------------------------------------------
// ChildProcess
//----------------------------------------------------------------------------------
bool ChildProcess::spawn(const std::vector<std::string> &argv, const std::string &cwd,
                         const std::string &display, const std::vector<std::string> &extraEnv)
{
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0) return false;
    if (pipe(errPipe) != 0) { ::close(outPipe[0]); ::close(outPipe[1]); return false; }

    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        ::close(outPipe[0]); ::close(outPipe[1]);
        ::close(errPipe[0]); ::close(errPipe[1]);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        if (display.empty()) unsetenv("DISPLAY");
        else setenv("DISPLAY", display.c_str(), 1);
        for (const std::string &assignment : extraEnv) putenv(strdup(assignment.c_str()));
        std::vector<char *> args;
        for (const std::string &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    pid = child;
    outFd = outPipe[0];
    errFd = errPipe[0];
    fcntl(outFd, F_SETFL, O_NONBLOCK);
    fcntl(errFd, F_SETFL, O_NONBLOCK);
    exited = false;
    exitStatus = -1;
    return true;
}

void ChildProcess::pump(int waitMs)
{
    struct pollfd fds[2];
    int count = 0;
    if (outFd >= 0) fds[count++] = {outFd, POLLIN, 0};
    if (errFd >= 0) fds[count++] = {errFd, POLLIN, 0};
    if (count > 0) poll(fds, count, waitMs);
    else if (waitMs > 0) sleepMs(waitMs);

    char buffer[4096];
    for (int *fd : {&outFd, &errFd}) {
        if (*fd < 0) continue;
        for (;;) {
            ssize_t n = read(*fd, buffer, sizeof buffer);
            if (n > 0) { (fd == &outFd ? out : err).append(buffer, (size_t)n); continue; }
            if (n == 0) { ::close(*fd); *fd = -1; }
            break;
        }
    }
    if (!exited && pid > 0) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }
}

bool ChildProcess::waitForOutput(const std::string &text, int timeoutMs)
{
    long end = nowMs() + timeoutMs;
    for (;;) {
        pump(20);
        if (out.find(text) != std::string::npos) return true;
        if ((exited && outFd < 0) || nowMs() > end) return false;
    }
}

bool ChildProcess::waitExit(int timeoutMs)
{
    long end = nowMs() + timeoutMs;
    while (!exited) {
        pump(20);
        if (nowMs() > end) return exited;
    }
    // NOTE: output written just before the exit may still be in the pipes
    long drainEnd = nowMs() + 500;
    while ((outFd >= 0 || errFd >= 0) && nowMs() < drainEnd) pump(20);
    return true;
}

void ChildProcess::kill()
{
    if (pid <= 0 || exited) return;
    ::kill(pid, SIGTERM);
    if (!waitExit(3000)) {
        ::kill(pid, SIGKILL);
        waitExit(3000);
    }
}

ChildProcess::~ChildProcess()
{
    kill();
    if (outFd >= 0) ::close(outFd);
    if (errFd >= 0) ::close(errFd);
}

//----------------------------------------------------------------------------------
// XClient
//----------------------------------------------------------------------------------
bool XClient::open(const std::string &display)
{
    close();
    dpy = XOpenDisplay(display.c_str());
    if (dpy == nullptr) return false;
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(dpy, &eventBase, &errorBase, &major, &minor)) {
        close();
        return false;
    }
    return true;
}

void XClient::close()
{
    if (dpy != nullptr) XCloseDisplay(dpy);
    dpy = nullptr;
}

XClient::~XClient() { close(); }

void XClient::key(unsigned long keysym, bool press)
{
    KeyCode code = XKeysymToKeycode(dpy, (KeySym)keysym);
    if (code == 0) return;
    XTestFakeKeyEvent(dpy, code, press ? True : False, CurrentTime);
    XFlush(dpy);
}

void XClient::tap(unsigned long keysym, int holdMs)
{
    key(keysym, true);
    sleepMs(holdMs);
    key(keysym, false);
    sleepMs(holdMs);
}

void XClient::typeText(const std::string &text)
{
    for (char c : text) {
        KeySym sym;
        bool shifted = false;
        if (c == '\n' || c == '\r') sym = XK_Return;
        else if (c == '-') sym = XK_minus;
        else if (c == ' ') sym = XK_space;
        else if (c >= 'A' && c <= 'Z') { sym = (KeySym)(c - 'A' + XK_a); shifted = true; }
        else sym = (KeySym)(unsigned char)c;
        if (shifted) key(XK_Shift_L, true);
        tap(sym);
        if (shifted) key(XK_Shift_L, false);
    }
}

void XClient::moveMouse(int x, int y)
{
    XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
    XFlush(dpy);
}

bool XClient::pointerPosition(int &x, int &y)
{
    Window root = 0, child = 0;
    int winX = 0, winY = 0;
    unsigned int mask = 0;
    return XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &x, &y, &winX, &winY, &mask) == True;
}

void XClient::button(int number, bool press)
{
    XTestFakeButtonEvent(dpy, (unsigned int)number, press ? True : False, CurrentTime);
    XFlush(dpy);
}

void XClient::click(int number, int holdMs)
{
    button(number, true);
    sleepMs(holdMs);
    button(number, false);
    sleepMs(holdMs);
}

void XClient::sync() { XSync(dpy, False); }

Image XClient::screenshot()
{
    Image image;
    Window root = DefaultRootWindow(dpy);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, root, &attributes)) return image;
    XImage *shot = XGetImage(dpy, root, 0, 0, (unsigned)attributes.width, (unsigned)attributes.height,
                             AllPlanes, ZPixmap);
    if (shot == nullptr) return image;
    image.width = attributes.width;
    image.height = attributes.height;
    image.rgb.resize((size_t)image.width * image.height * 3);
    for (int y = 0; y < image.height; y++) {
        for (int x = 0; x < image.width; x++) {
            unsigned long p = XGetPixel(shot, x, y);
            uint8_t *dst = &image.rgb[((size_t)y * image.width + x) * 3];
            dst[0] = (uint8_t)((p & shot->red_mask) >> 16);
            dst[1] = (uint8_t)((p & shot->green_mask) >> 8);
            dst[2] = (uint8_t)(p & shot->blue_mask);
        }
    }
    XDestroyImage(shot);
    return image;
}

bool XClient::hasMappedWindow()
{
    Window root = DefaultRootWindow(dpy), parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) return false;
    bool mapped = false;
    for (unsigned int i = 0; i < count && !mapped; i++) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(dpy, children[i], &attributes) && attributes.map_state == IsViewable) mapped = true;
    }
    if (children) XFree(children);
    return mapped;
}

unsigned long XClient::windowNamed(const std::string &text)
{
    Window root, parent, *children = nullptr, found = 0;
    unsigned int count = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && found == 0; i++) {
        char *name = nullptr;
        if (XFetchName(dpy, children[i], &name) && name != nullptr && std::string(name).find(text) != std::string::npos)
            found = children[i];
        if (name != nullptr) XFree(name);
    }
    if (children != nullptr) XFree(children);
    return found;
}

std::vector<std::string> XClient::windowTitles()
{
    std::vector<std::string> titles;
    Window root = DefaultRootWindow(dpy), parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) return titles;
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False), utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    for (unsigned int i = 0; i < count; i++) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(dpy, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char *data = nullptr;
        std::string title;
        if (XGetWindowProperty(dpy, children[i], netName, 0, 4096, False, utf8, &type, &format, &items, &after, &data) ==
                Success && data != nullptr && format == 8)
            title.assign(reinterpret_cast<const char *>(data), items);
        if (data) XFree(data);
        char *name = nullptr;
        if (title.empty() && XFetchName(dpy, children[i], &name) && name != nullptr) title = name;
        if (name) XFree(name);
        if (!title.empty()) titles.push_back(title);
    }
    if (children) XFree(children);
    return titles;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs)
{
    long end = nowMs() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (nowMs() > end) return false;
        sleepMs(pollMs);
    }
}

bool readPpm(const std::string &path, Image &image)
{
    std::string data;
    if (!readFile(path, data)) return false;
    int width = 0, height = 0, maxValue = 0, offset = 0;
    if (sscanf(data.c_str(), "P6 %d %d %d%n", &width, &height, &maxValue, &offset) != 3) return false;
    if (width <= 0 || height <= 0 || maxValue != 255) return false;
    offset += 1;
    size_t size = (size_t)width * height * 3;
    if (data.size() < (size_t)offset + size) return false;
    image.width = width;
    image.height = height;
    image.rgb.assign(data.begin() + offset, data.begin() + offset + (long)size);
    return true;
}

std::string makeTempDir(const std::string &prefix)
{
    const char *base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return "";
    return buffer.data();
}

bool copyTree(const std::string &from, const std::string &to)
{
    std::string output;
    return runCapture("cp -a '" + from + "/.' '" + to + "/'", output);
}

void removeTree(const std::string &path)
{
    if (path.empty() || path == "/") return;
    std::string output;
    runCapture("rm -rf '" + path + "'", output);
}

bool readFile(const std::string &path, std::string &contents)
{
    FILE *in = fopen(path.c_str(), "rb");
    if (in == nullptr) return false;
    contents.clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) contents.append(buffer, n);
    fclose(in);
    return true;
}

long differentPixels(const Image &a, const Image &b, int tolerance)
{
    if (a.width != b.width || a.height != b.height) return -1;
    long count = 0;
    for (size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        for (int c = 0; c < 3; c++) {
            if (abs((int)a.rgb[i + c] - (int)b.rgb[i + c]) > tolerance) { count++; break; }
        }
    }
    return count;
}

void meanColour(const Image &image, int x0, int y0, int x1, int y1, double rgb[3])
{
    double sum[3] = {0, 0, 0};
    long count = 0;
    for (int y = y0; y <= y1 && y < image.height; y++) {
        for (int x = x0; x <= x1 && x < image.width; x++) {
            const uint8_t *p = image.pixel(x, y);
            for (int c = 0; c < 3; c++) sum[c] += p[c];
            count++;
        }
    }
    for (int c = 0; c < 3; c++) rgb[c] = count ? sum[c] / count : 0.0;
}

long nowMs()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

void setScriptsDir(const std::string &dir) { scriptsDir = dir; }

}  // namespace xdriver
