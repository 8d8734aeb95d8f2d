/**********************************************************************************************
*
*   picking - OpenGL selection: the scene pick and the panel pick
*
**********************************************************************************************/
#include "picking.h"

static int panelPickX = 0, panelPickY = 0;

void beginPick(int, int) {}
void beginPlayPick(int, int) {}
void endScenePick() {}
void endPanelPick() {}
void setPanelPickPosition(int x, int y) { panelPickX = x; panelPickY = y; }
int getPanelPickX() { return panelPickX; }
int getPanelPickY() { return panelPickY; }
