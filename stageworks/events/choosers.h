/**********************************************************************************************
*
*   choosers - small scrolling lists drawn over the 3D view
*
*   A chooser shows up to its visible rows of text options, an up and a down arrow, and runs
*   an option's command when the user picks its row. Like the menus, choosers are hit-tested
*   through selection names: the background is id x 100, visible row r is id x 100 + r + 1, the
*   arrows id x 100 + 98 and + 99. Four exist: materials, flags, condition kinds and
*   consequence kinds.
*
*   DEPENDENCIES: app_state (pickName), font, textures (arrow bitmaps), OpenGL
*
**********************************************************************************************/
#pragma once

#include <array>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int CHOOSER_CAPACITY = 99;
constexpr int CHOOSER_UP_ARROW = 98;
constexpr int CHOOSER_DOWN_ARROW = 99;
constexpr int CHOOSER_PRESS_FRAMES = 15;

enum ChooserId { MaterialChooserId = 6, FlagChooserId = 8, ConditionChooserId = 10, ConsequenceChooserId = 11 };

// Arrow images, in this order
enum ArrowImage { ArrowIdle = 0, ArrowHovered, ArrowPressed, ArrowDisabled };

struct ChooserOption {
    int name;                       // id x 100 + index + 1
    std::string text;
    std::array<unsigned int, 2> lists;   // normal (white) and marked (green), for the row it shows in
    int marked;
    void (*command)(int argument);
    int argument;
};

struct Chooser {
    int id;
    float width;
    float height;                   // visible rows x 0.9
    std::array<float, 3> position;
    std::array<float, 3> colour;
    std::array<int, 4> arrowTextures;
    unsigned int backgroundList;
    unsigned int hoverBarList;
    std::array<std::array<unsigned int, 4>, 2> arrowLists;   // up, down x idle, hovered, pressed, disabled
    std::array<int, 2> pressCounters;                          // up, down
    int topRow;
    int visibleRows;
    std::vector<ChooserOption> options;
};

//----------------------------------------------------------------------------------
// Public functions: any chooser
//----------------------------------------------------------------------------------

// An empty chooser with top row 0 and room for 99 options (no GL needed)
Chooser createChooser(int id, float x, float y, float z, float width, int visibleRows);

// Appends an option with the next name; with 99 options prints "\n Numero de opciones completo."
// and adds nothing. Returns the new option, or null
ChooserOption *addOption(Chooser &chooser, const std::string &text);

// Marks only the option shown in the visible row and runs its command with its argument
void pickRow(Chooser &chooser, int row);

// 98 scrolls up, anything else down; then rebuilds the lists
void scroll(Chooser &chooser, int which);

// The image an arrow shows now (0 up, 1 down): disabled when it cannot scroll, pressed while its
// counter runs, hovered under the pointer, else idle
int arrowImage(const Chooser &chooser, int arrow);

// Marks the option whose text equals name (none when nothing matches)
void markOption(Chooser &chooser, const std::string &name);

// Index of the option shown in a visible row, or -1
int optionAtRow(const Chooser &chooser, int row);

// Loads the four arrow bitmaps (the old textures are released)
void loadChooserArrows(Chooser &chooser);

// (Re)compiles every display list from the current top row
void buildChooserLists(Chooser &chooser);

// Draws the chooser (pickName decides the hovered row and arrows)
void drawChooser(Chooser &chooser);

// A left click with the current pickName: empty space returns emptyState to the caller as 1,
// rows are picked and arrows (and, unless the chooser ignores it, the background) scroll.
// Returns 1 when the click was on empty space
int clickChooser(Chooser &chooser, int pickName);

//----------------------------------------------------------------------------------
// Public functions: the four choosers
//----------------------------------------------------------------------------------
Chooser &materialChooser();
Chooser &flagChooser();
Chooser &conditionChooser();
Chooser &consequenceChooser();

// The chooser of an id, or null
Chooser *chooserById(int id);

// Every material in table order; the option named markName is marked
void buildMaterialChooser(const char *markName);

// Every flag in table order, nothing marked
void buildFlagChooser();

// The four condition kinds and the seven consequence kinds (start-up)
void buildConditionChooser();
void buildConsequenceChooser();

// Moves a chooser to another height (the event editor puts it beside the picked row)
void setChooserY(Chooser &chooser, float y);

// Runs when a row is picked in each chooser (the event editor sets them); argument = option index
void setChooserCommands(void (*material)(int), void (*flag)(int), void (*condition)(int), void (*consequence)(int));
