// Stand-ins for commands, picking and the renderer's counter: every call is logged.
#include "input_fakes.h"

#include "commands.h"
#include "picking.h"
#include "render.h"
#include "scene_draw.h"

namespace input_fakes {

static std::vector<std::string> log;
static int polygons = 0;

std::vector<std::string> &calls() { return log; }
void clearCalls() { log.clear(); }
void setPolygonCount(int value) { polygons = value; }

}  // namespace input_fakes

using std::to_string;

static void record(const std::string &call) { input_fakes::calls().push_back(call); }
static std::string pair(int a, int b) { return to_string(a) + " " + to_string(b); }

static int panelPickX = -1, panelPickY = -1;

void saveSceneCommand() { record("saveScene"); }
void loadSceneCommand() { record("loadScene"); }
void openEdgeMenu(int state) { record("openEdgeMenu " + to_string(state)); }
void panelClick() { record("panelClick"); }
void chooserClick(int id, int emptyState, int chosenState) { record("chooserClick " + to_string(id) + " " + pair(emptyState, chosenState)); }
void typeCharacter(int key) { record("typeCharacter " + to_string(key)); }
void startPlayCommand() { record("startPlay"); }
void stopPlayCommand() { record("stopPlay"); }
void closeEventEditor() { record("closeEventEditor"); }
void openMaterialChooserCommand() { record("openMaterialChooser"); }
void activateObjectCommand(int index) { record("activateObject " + to_string(index)); }
void openAppearanceMenu() { record("openAppearanceMenu"); }
void openEventEditor(int index) { record("openEventEditor " + to_string(index)); }
void drawEditorScreen(int picking) { record("drawEditorScreen " + to_string(picking)); }
void stepPlayCommand() { record("stepPlay"); }

void beginPick(int x, int y) { record("beginPick " + pair(x, y)); }
void beginPlayPick(int x, int y) { record("beginPlayPick " + pair(x, y)); }
void endScenePick() { record("endScenePick"); }
void endPanelPick() { record("endPanelPick"); }
void noteLeftButton(int) {}
void setPanelPickPosition(int x, int y) { panelPickX = x, panelPickY = y; }
int getPanelPickX() { return panelPickX; }
int getPanelPickY() { return panelPickY; }

void display() {}
int getPolygonCount() { return input_fakes::polygons; }
