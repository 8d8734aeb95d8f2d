/**********************************************************************************************
*
*   choosers - small scrolling lists drawn over the 3D view
*
**********************************************************************************************/
#include "choosers.h"

#include "app_state.h"
#include "events.h"
#include "flags.h"
#include "font.h"
#include "materials.h"
#include "textures.h"

#include <GL/gl.h>
#include <cstdio>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const float ROW_HEIGHT = 0.9f;
static const float BAR_ROW_STEP = 1.62f;
static const float TEXT_ROW_STEP = 1.6f;
static const char *const ARROW_BITMAPS[4] = {"Data/flecha1.bmp", "Data/flecha2.bmp", "Data/flecha3.bmp",
                                             "Data/flecha4.bmp"};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static Chooser materials = createChooser(MaterialChooserId, -29.0f, 0.0f, -34.0f, 6.0f, 8);
static Chooser flags = createChooser(FlagChooserId, -7.2f, 8.95f, -34.0f, 12.0f, 8);
static Chooser conditions = createChooser(ConditionChooserId, -16.9f, 1.5f, -34.0f, 7.0f, 6);
static Chooser consequences = createChooser(ConsequenceChooserId, -10.6f, 1.5f, -34.0f, 13.0f, 8);

static void (*materialCommand)(int) = nullptr;
static void (*flagCommand)(int) = nullptr;
static void (*conditionCommand)(int) = nullptr;
static void (*consequenceCommand)(int) = nullptr;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// A flat rectangle from (x0, y0) to (x1, y1)
static void rectangle(float x0, float y0, float x1, float y1, float z)
{
    glBegin(GL_QUADS);
    glVertex3f(x0, y1, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x0, y0, z);
    glEnd();
}

// Side of an arrow square before the lists' scale by 2
static float arrowSide(const Chooser &c) { return 0.85f * c.height / (float)c.visibleRows; }

static void releaseList(unsigned int &list)
{
    if (list != 0) glDeleteLists(list, 1);
    list = 0;
}

// Compiles one arrow list: a textured square anchored at its top-left corner
static unsigned int arrowList(const Chooser &c, int image, int name)
{
    unsigned int list = glGenLists(1);
    float s = arrowSide(c);
    glNewList(list, GL_COMPILE);
    glDisable(GL_BLEND);
    if (name >= 0) glLoadName((GLuint)name);
    glPushMatrix();
    glScalef(2.0f, 2.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, c.arrowTextures[image] > 0 ? (GLuint)c.arrowTextures[image] : 0u);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f); glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f); glVertex3f(s, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f); glVertex3f(s, -s, 0.0f);
    glTexCoord2f(0.0f, 0.0f); glVertex3f(0.0f, -s, 0.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glEndList();
    return list;
}

// Compiles the text list of one visible row in white or green
static unsigned int optionList(const Chooser &c, const ChooserOption &option, int row, bool marked)
{
    unsigned int list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glDisable(GL_BLEND);
    glLoadName((GLuint)(c.id * 100 + row + 1));
    // NOTE: the font lives in texture object 0; the arrows drawn before bind their own
    glBindTexture(GL_TEXTURE_2D, 0);
    if (marked) glColor3f(0.0f, 1.0f, 0.0f);
    else glColor3f(1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glScalef(0.7f, 0.7f, 1.0f);
    drawText(option.text.c_str(), 0.0f, 0.0f, -33.9f, c.width);
    glPopMatrix();
    glDisable(GL_BLEND);
    glEndList();
    return list;
}

// Shows one arrow: its image's list, counting a pressed image down
static unsigned int arrowToShow(Chooser &c, int arrow)
{
    int image = arrowImage(c, arrow);
    if (image == ArrowDisabled) c.pressCounters[arrow] = 0;
    if (image == ArrowPressed) c.pressCounters[arrow]--;
    return c.arrowLists[arrow][image];
}

static void runCommand(void (*command)(int), int argument)
{
    if (command != nullptr) command(argument);
}

static void materialPicked(int index) { runCommand(materialCommand, index); }
static void flagPicked(int index) { runCommand(flagCommand, index); }
static void conditionPicked(int kind) { runCommand(conditionCommand, kind); }
static void consequencePicked(int kind) { runCommand(consequenceCommand, kind); }

// Empties a chooser's options (their lists are released) and returns it to the top
static void clearOptions(Chooser &c)
{
    for (ChooserOption &option : c.options) {
        releaseList(option.lists[0]);
        releaseList(option.lists[1]);
    }
    c.options.clear();
    c.topRow = 0;
}

//----------------------------------------------------------------------------------
// Public functions: any chooser
//----------------------------------------------------------------------------------
Chooser createChooser(int id, float x, float y, float z, float width, int visibleRows)
{
    Chooser c = {};
    c.id = id;
    c.width = width;
    c.visibleRows = visibleRows;
    c.height = (float)visibleRows * ROW_HEIGHT;
    c.position = {x, y, z};
    c.colour = {0.1f, 0.1f, 0.1f};
    c.topRow = 0;
    return c;
}

ChooserOption *addOption(Chooser &chooser, const std::string &text)
{
    if ((int)chooser.options.size() >= CHOOSER_CAPACITY) {
        printf("\n Numero de opciones completo.");
        fflush(stdout);
        return nullptr;
    }
    ChooserOption option = {};
    option.name = chooser.id * 100 + (int)chooser.options.size() + 1;
    option.text = text;
    chooser.options.push_back(option);
    return &chooser.options.back();
}

int optionAtRow(const Chooser &chooser, int row)
{
    if (row < 0 || row >= chooser.visibleRows) return -1;
    int index = chooser.topRow + row;
    return index < (int)chooser.options.size() ? index : -1;
}

void pickRow(Chooser &chooser, int row)
{
    int index = optionAtRow(chooser, row);
    if (index < 0) return;
    for (ChooserOption &option : chooser.options) option.marked = 0;
    chooser.options[(size_t)index].marked = 1;
    const ChooserOption &picked = chooser.options[(size_t)index];
    if (picked.command != nullptr) picked.command(picked.argument);
}

void scroll(Chooser &chooser, int which)
{
    if (which == CHOOSER_UP_ARROW) {
        if (chooser.topRow > 0) {
            chooser.topRow--;
            chooser.pressCounters[0] = CHOOSER_PRESS_FRAMES;
        }
    } else if (chooser.topRow + chooser.visibleRows < (int)chooser.options.size()) {
        chooser.topRow++;
        chooser.pressCounters[1] = CHOOSER_PRESS_FRAMES;
    }
    buildChooserLists(chooser);
}

int arrowImage(const Chooser &c, int arrow)
{
    bool enabled = arrow == 0 ? c.topRow > 0 : c.topRow + c.visibleRows < (int)c.options.size();
    if (!enabled) return ArrowDisabled;
    int name = c.id * 100 + (arrow == 0 ? CHOOSER_UP_ARROW : CHOOSER_DOWN_ARROW);
    if (getPickName() != name) return ArrowIdle;
    return c.pressCounters[arrow] > 0 ? ArrowPressed : ArrowHovered;
}

void markOption(Chooser &chooser, const std::string &name)
{
    for (ChooserOption &option : chooser.options) option.marked = option.text == name ? 1 : 0;
}

void loadChooserArrows(Chooser &chooser)
{
    for (int i = 0; i < 4; i++) {
        if (chooser.arrowTextures[i] > 0) {
            GLuint old = (GLuint)chooser.arrowTextures[i];
            glDeleteTextures(1, &old);
        }
        chooser.arrowTextures[i] = load_required_bitmap_texture(ARROW_BITMAPS[i]);
    }
}

void buildChooserLists(Chooser &c)
{
    releaseList(c.backgroundList);
    releaseList(c.hoverBarList);
    for (auto &arrow : c.arrowLists)
        for (unsigned int &list : arrow) releaseList(list);

    c.backgroundList = glGenLists(1);
    glNewList(c.backgroundList, GL_COMPILE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glLoadName((GLuint)(c.id * 100));
    glPushMatrix();
    glScalef(2.0f, 2.0f, 1.0f);
    glColor3f(0.3f, 0.3f, 0.3f);
    rectangle(-c.width * 1.05f / 2.0f, -c.height * 1.05f / 2.0f, c.width * 1.05f / 2.0f, c.height * 1.05f / 2.0f, 0.0f);
    glColor3f(c.colour[0], c.colour[1], c.colour[2]);
    rectangle(-c.width / 2.0f, -c.height / 2.0f, c.width / 2.0f, c.height / 2.0f, 0.001f);
    glPopMatrix();
    glEndList();

    c.hoverBarList = glGenLists(1);
    glNewList(c.hoverBarList, GL_COMPILE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glScalef(2.0f, 2.0f, 1.0f);
    glColor3f(1.0f, 0.0f, 0.0f);
    rectangle(-0.95f * c.width / 2.0f, c.height / 2.0f - 0.85f * c.height / (float)c.visibleRows,
              0.95f * c.width / 2.0f, c.height / 2.0f, 0.0f);
    glPopMatrix();
    glEndList();

    for (int arrow = 0; arrow < 2; arrow++) {
        int name = c.id * 100 + (arrow == 0 ? CHOOSER_UP_ARROW : CHOOSER_DOWN_ARROW);
        for (int image = 0; image < 4; image++) {
            c.arrowLists[arrow][image] = arrowList(c, image, image == ArrowDisabled ? -1 : name);
        }
    }

    // NOTE: the option lists draw with the texture font, which must be current while compiling
    beginText();
    for (int i = 0; i < (int)c.options.size(); i++) {
        ChooserOption &option = c.options[(size_t)i];
        releaseList(option.lists[0]);
        releaseList(option.lists[1]);
        int row = i - c.topRow;
        if (row < 0 || row >= c.visibleRows) continue;
        option.lists[0] = optionList(c, option, row, false);
        option.lists[1] = optionList(c, option, row, true);
    }
    endText();
}

void drawChooser(Chooser &c)
{
    glLoadIdentity();
    glTranslatef(c.position[0], c.position[1], c.position[2]);

    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -34.0f);
    if (c.backgroundList) glCallList(c.backgroundList);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(c.width, c.height, -33.95f);
    unsigned int up = arrowToShow(c, 0);
    if (up) glCallList(up);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(2.0f * arrowSide(c) + c.width, -c.height, -33.95f);
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    unsigned int down = arrowToShow(c, 1);
    if (down) glCallList(down);
    glPopMatrix();

    for (int row = 0; row < c.visibleRows; row++) {
        int index = optionAtRow(c, row);
        if (index < 0) break;
        const ChooserOption &option = c.options[(size_t)index];
        int rowName = c.id * 100 + row + 1;
        if (getPickName() == rowName && c.hoverBarList) {
            // NOTE: the bar carries its row's name, so hovering between glyphs keeps the row
            glLoadName((GLuint)rowName);
            glPushMatrix();
            glTranslatef(0.0f, -BAR_ROW_STEP * (float)row - 0.2f, -33.95f);
            glCallList(c.hoverBarList);
            glPopMatrix();
        }
        glPushMatrix();
        glTranslatef(1.0f - c.width, c.height - TEXT_ROW_STEP * (float)row, 1.0f);
        unsigned int list = option.lists[option.marked ? 1 : 0];
        if (list) glCallList(list);
        glPopMatrix();
    }
}

int clickChooser(Chooser &chooser, int pickName)
{
    int base = chooser.id * 100;
    if (pickName == 0) return 1;
    int offset = pickName - base;
    if (offset >= 1 && offset <= 97) {
        pickRow(chooser, offset - 1);
        return 0;
    }
    if (chooser.id == MaterialChooserId) {
        // The material chooser ignores its background; anything above its rows is an arrow
        if (offset > 97) scroll(chooser, offset);
        return 0;
    }
    if (offset == 0 || offset == CHOOSER_UP_ARROW || offset == CHOOSER_DOWN_ARROW) scroll(chooser, offset);
    return 0;
}

//----------------------------------------------------------------------------------
// Public functions: the four choosers
//----------------------------------------------------------------------------------
Chooser &materialChooser() { return materials; }
Chooser &flagChooser() { return flags; }
Chooser &conditionChooser() { return conditions; }
Chooser &consequenceChooser() { return consequences; }

Chooser *chooserById(int id)
{
    switch (id) {
    case MaterialChooserId: return &materials;
    case FlagChooserId: return &flags;
    case ConditionChooserId: return &conditions;
    case ConsequenceChooserId: return &consequences;
    default: return nullptr;
    }
}

void buildMaterialChooser(const char *markName)
{
    clearOptions(materials);
    loadChooserArrows(materials);
    hash_iterator it{};
    const unsigned char *key = nullptr;
    int index = 0;
    for (void *data = hash_table_first(material_table(), &it, &key, nullptr); key != nullptr;
         data = hash_table_next(material_table(), &it, &key, nullptr)) {
        const material_record *material = (const material_record *)data;
        ChooserOption *option = addOption(materials, material->name);
        if (option == nullptr) break;
        option->command = materialPicked;
        option->argument = index++;
    }
    markOption(materials, markName ? markName : DEFAULT_MATERIAL_NAME);
    buildChooserLists(materials);
}

void buildFlagChooser()
{
    clearOptions(flags);
    loadChooserArrows(flags);
    hash_iterator it{};
    int index = 0;
    for (FlagRecord *flag = firstFlag(&it); flag != nullptr; flag = nextFlag(&it)) {
        ChooserOption *option = addOption(flags, flag->name);
        if (option == nullptr) break;
        option->command = flagPicked;
        option->argument = index++;
    }
    buildChooserLists(flags);
}

void buildConditionChooser()
{
    clearOptions(conditions);
    loadChooserArrows(conditions);
    for (int kind : {cActivate, cFlag, cDistanceMY, cDistanceMN}) {
        ChooserOption *option = addOption(conditions, conditionChooserLabel(kind));
        option->command = conditionPicked;
        option->argument = kind;
    }
    buildChooserLists(conditions);
}

void buildConsequenceChooser()
{
    clearOptions(consequences);
    loadChooserArrows(consequences);
    for (int kind = cMoveObj; kind <= cAgain; kind++) {
        ChooserOption *option = addOption(consequences, consequenceChooserLabel(kind));
        option->command = consequencePicked;
        option->argument = kind;
    }
    buildChooserLists(consequences);
}

void setChooserY(Chooser &chooser, float y) { chooser.position[1] = y; }

void setChooserCommands(void (*material)(int), void (*flag)(int), void (*condition)(int), void (*consequence)(int))
{
    materialCommand = material;
    flagCommand = flag;
    conditionCommand = condition;
    consequenceCommand = consequence;
}
