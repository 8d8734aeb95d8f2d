/**********************************************************************************************
*
*   frame_probe - what every frame a program shows looks like, from outside its code
*
*   Preloaded into a GL program (LD_PRELOAD), it wraps glXSwapBuffers: before each swap the
*   back buffer, the frame about to be shown, is read back and sampled on a grid of every 8th
*   pixel, and one line is appended to the file named by SW_FRAME_PROBE:
*
*       <swap number> <samples of the clear colour> <samples of magenta> <samples>
*
*   After each swap the back buffer is filled with magenta (255, 0, 255), so that whatever a
*   frame does not draw over shows in it: a frame is complete when no sample is magenta. The
*   clear colour is "R,G,B" in 0-255 from SW_FRAME_PROBE_CLEAR (default 0,128,191, the clear
*   colour of stageworks). A sample counts when every channel is within 2 levels. Without
*   SW_FRAME_PROBE the swaps are passed on untouched.
*
*   DEPENDENCIES: libdl (dlsym), OpenGL (glReadPixels)
*
**********************************************************************************************/
#define _GNU_SOURCE
#include <GL/gl.h>
#include <dlfcn.h>   // Required for: dlsym(), RTLD_NEXT
#include <stdio.h>
#include <stdlib.h>  // Required for: getenv(), malloc(), abs()

typedef void (*SwapFunction)(void *display, unsigned long drawable);

static SwapFunction realSwap = 0;
static FILE *probeFile = 0;
static int probeTried = 0;
static int clearColour[3] = {0, 128, 191};
static const int MAGENTA[3] = {255, 0, 255};
static unsigned long swapCount = 0;
static unsigned char *pixels = 0;
static long pixelsSize = 0;

static const int GRID = 8;
static const int TOLERANCE = 2;

// The log file and the colour looked for, once
static void openProbe(void)
{
    probeTried = 1;
    const char *path = getenv("SW_FRAME_PROBE");
    if (path == 0 || path[0] == '\0') return;
    const char *rgb = getenv("SW_FRAME_PROBE_CLEAR");
    if (rgb != 0) sscanf(rgb, "%d,%d,%d", &clearColour[0], &clearColour[1], &clearColour[2]);
    probeFile = fopen(path, "a");
    if (probeFile != 0) setvbuf(probeFile, 0, _IOLBF, 0);
}

// 1 when a pixel has the colour, within the tolerance
static int hasColour(const unsigned char *p, const int colour[3])
{
    return abs(p[0] - colour[0]) <= TOLERANCE && abs(p[1] - colour[1]) <= TOLERANCE && abs(p[2] - colour[2]) <= TOLERANCE;
}

// Reads the back buffer and logs how many grid samples have the clear colour and magenta
static void probeBackBuffer(void)
{
    GLint viewport[4] = {0, 0, 0, 0};
    GLint readBuffer = GL_BACK, alignment = 4;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    // NOTE: the whole drawable, whatever part of it the program's viewport covers
    GLint box[4] = {0, 0, viewport[0] + viewport[2], viewport[1] + viewport[3]};
    long size = (long)box[2] * box[3] * 3;
    if (size <= 0) return;
    if (size > pixelsSize) {
        free(pixels);
        pixels = malloc((size_t)size);
        pixelsSize = pixels != 0 ? size : 0;
        if (pixels == 0) return;
    }
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, box[2], box[3], GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadBuffer((GLenum)readBuffer);

    long samples = 0, cleared = 0, unpainted = 0;
    for (int y = GRID / 2; y < box[3]; y += GRID) {
        for (int x = GRID / 2; x < box[2]; x += GRID) {
            const unsigned char *p = pixels + ((long)y * box[2] + x) * 3;
            samples++;
            cleared += hasColour(p, clearColour);
            unpainted += hasColour(p, MAGENTA);
        }
    }
    fprintf(probeFile, "%lu %ld %ld %ld\n", swapCount, cleared, unpainted, samples);
}

// Fills the back buffer with magenta, leaving the program's clear colour as it was
static void fillBackBuffer(void)
{
    GLfloat colour[4] = {0, 0, 0, 0};
    GLint drawBuffer = GL_BACK;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glDrawBuffer(GL_BACK);
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glDrawBuffer((GLenum)drawBuffer);
}

// Looks at the frame, then swaps
void glXSwapBuffers(void *display, unsigned long drawable)
{
    if (realSwap == 0) realSwap = (SwapFunction)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (!probeTried) openProbe();
    swapCount++;
    if (probeFile != 0) probeBackBuffer();
    if (realSwap != 0) realSwap(display, drawable);
    if (probeFile != 0) fillBackBuffer();
}
