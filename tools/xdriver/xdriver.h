/**********************************************************************************************
*
*   xdriver - drive a real program on a private X server, as a person would
*
*   Starts and stops the private X server (through scripts/xserver.sh), runs a program with
*   its output captured, sends keys and pointer events through XTest, reads the screen with
*   XGetImage and writes and reads PNG files. Used by the end-to-end tests and the run scripts.
*
*   DEPENDENCIES: Xlib, XTest, zlib, POSIX
*
**********************************************************************************************/
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace xdriver {

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// Tightly packed RGB image, rows top to bottom
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    bool empty() const { return width == 0 || height == 0; }
    const uint8_t *pixel(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
};

// A private X server; stopped (by PID) when the record goes away
struct XServer {
    std::string display;
    int pid = 0;
    std::string script;    // the start/stop script, remembered at start

    // Starts Xorg with the dummy driver, or Xvfb; false when it cannot
    bool start(bool xvfb = false);
    void stop();
    ~XServer();
};

// A child program with standard output and error captured
struct ChildProcess {
    int pid = 0;
    int outFd = -1;
    int errFd = -1;
    std::string out;
    std::string err;
    int exitStatus = -1;    // exit code, or 128 + signal
    bool exited = false;

    // Runs argv[0] in directory cwd with DISPLAY set (empty display leaves it unset)
    bool spawn(const std::vector<std::string> &argv, const std::string &cwd,
               const std::string &display, const std::vector<std::string> &extraEnv = {});

    // Reads whatever output is waiting, for at most waitMs
    void pump(int waitMs);

    // Waits until standard output contains text
    bool waitForOutput(const std::string &text, int timeoutMs);

    // Waits for the program to end; false on timeout
    bool waitExit(int timeoutMs);

    // Ends the program (SIGTERM, then SIGKILL)
    void kill();
    ~ChildProcess();
};

// A connection to the X server used to send input and read the screen
struct XClient {
    Display *dpy = nullptr;

    bool open(const std::string &display);
    void close();
    ~XClient();

    // Key by X keysym name or value; press and release separately or as a tap
    void key(unsigned long keysym, bool press);
    void tap(unsigned long keysym, int holdMs = 40);
    void typeText(const std::string &text);

    void moveMouse(int x, int y);
    // Where the pointer is on the screen now; false when it cannot be asked
    bool pointerPosition(int &x, int &y);
    void button(int button, bool press);
    void click(int button, int holdMs = 40);
    void sync();

    // The whole root window as RGB
    Image screenshot();

    // True when some top-level window is mapped
    bool hasMappedWindow();

    // The titles of the mapped top-level windows (_NET_WM_NAME, else WM_NAME), as UTF-8
    std::vector<std::string> windowTitles();

    // The top-level window whose WM_NAME contains text (0 for none)
    unsigned long windowNamed(const std::string &text);
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Polls condition every pollMs until it holds or timeoutMs pass
bool waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs = 20);

// Writes an image as a PNG file (8-bit RGB)
bool writePng(const Image &image, const std::string &path);

// Reads an 8-bit RGB or RGBA PNG file (alpha dropped); false, with the reason in error when
// given, for anything damaged, truncated or of another kind
bool readPng(const std::string &path, Image &image, std::string *error = nullptr);

// Reads a binary PPM (P6, 8 bits) file
bool readPpm(const std::string &path, Image &image);

// A fresh directory under TMPDIR (or /tmp)
std::string makeTempDir(const std::string &prefix);

// Copies a directory tree (cp -a semantics); false on failure
bool copyTree(const std::string &from, const std::string &to);

// Removes a directory tree
void removeTree(const std::string &path);

// Reads a whole file; false when it cannot be read
bool readFile(const std::string &path, std::string &contents);

// Number of pixels whose colour differs between two images of the same size
long differentPixels(const Image &a, const Image &b, int tolerance = 0);

// Mean colour of a rectangle
void meanColour(const Image &image, int x0, int y0, int x1, int y1, double rgb[3]);

// Milliseconds since an arbitrary start
long nowMs();

// Path of the private X server script (scripts/xserver.sh of the source tree)
void setScriptsDir(const std::string &dir);

}  // namespace xdriver
