/**********************************************************************************************
*
*   screen_view - the 1024x768 screen the program works in, placed inside its window
*
**********************************************************************************************/
#include "screen_view.h"

#include <GL/gl.h>  // Required for: glViewport()

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static ScreenRect placed = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
static int windowHeight = SCREEN_HEIGHT;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// value * numerator / denominator rounded to the nearest integer (denominator > 0)
static int scaled(int value, int numerator, int denominator)
{
    long long product = (long long)value * numerator;
    long long half = denominator / 2;
    return (int)(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void setWindowSize(int width, int height)
{
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    // NOTE: widths compared through the products, so 1024x768 maps exactly onto itself
    if ((long long)width * SCREEN_HEIGHT > (long long)height * SCREEN_WIDTH) {
        placed.height = height;
        placed.width = scaled(height, SCREEN_WIDTH, SCREEN_HEIGHT);
    } else {
        placed.width = width;
        placed.height = scaled(width, SCREEN_HEIGHT, SCREEN_WIDTH);
    }
    if (placed.width < 1) placed.width = 1;
    if (placed.height < 1) placed.height = 1;
    placed.x = (width - placed.width) / 2;
    placed.y = (height - placed.height) / 2;
    windowHeight = height;
}

ScreenRect screenRect() { return placed; }

void applyScreenViewport()
{
    // NOTE: GL counts rows from the bottom of the window
    GLint bottom = (GLint)(windowHeight - placed.y - placed.height);
    glViewport((GLint)placed.x, bottom, (GLsizei)placed.width, (GLsizei)placed.height);
}

void windowToScreen(int *x, int *y)
{
    *x = scaled(*x - placed.x, SCREEN_WIDTH, placed.width);
    *y = scaled(*y - placed.y, SCREEN_HEIGHT, placed.height);
}

void screenToWindow(int *x, int *y)
{
    *x = placed.x + scaled(*x, placed.width, SCREEN_WIDTH);
    *y = placed.y + scaled(*y, placed.height, SCREEN_HEIGHT);
}
