/**********************************************************************************************
*
*   panels - bitmap button panels drawn in 3D in front of the eye
*
**********************************************************************************************/
#include "panels.h"

#include "app_state.h"
#include "redraw.h"
#include "textures.h"
#include "timers.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static PanelTextureLoader textureLoader = load_required_bitmap_texture;

// Panels swinging in, by id, and whether a tick of theirs is waiting in the timer service
static std::array<ButtonPanel *, MAX_PANEL_ID + 1> swingingPanels = {};
static std::array<bool, MAX_PANEL_ID + 1> swingTickWaiting = {};
static void (*eventPanelClosed)() = nullptr;   // registered by the menus

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

static const float PI = 3.14159265358979f;

// A bitmap as a texture; no path gives no texture
static int loadBitmap(const char *path)
{
    if (path == nullptr || path[0] == '\0') return -1;
    return textureLoader(path);
}

static bool validId(int id) { return id >= 1 && id <= MAX_PANEL_ID; }

// Compiles one shape of the panel under a selection name: textured in white, or filled with

// Starts a card's image in a list being compiled: no blending, both sides, its pick name and
// its texture (or none)
void beginCardImage(int name, int texture)
{
    glDisable(GL_BLEND);
    // NOTE: a card is seen from the front; culling would hide it if a placement turned it round
    glDisable(GL_CULL_FACE);
    glLoadName((GLuint)name);
    if (texture >= 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, (GLuint)texture);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}
// the colour when there is no texture
static void compileShape(unsigned int list, int name, float width, float height, int texture,
                         const std::array<float, 4> &colour)
{
    std::array<OutlineVertex, OUTLINE_POINTS> outline = roundedOutline(width, height);
    glNewList(list, GL_COMPILE);
    beginCardImage(name, texture);
    if (texture >= 0) glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    else glColor4fv(colour.data());
    glBegin(GL_POLYGON);
    for (const OutlineVertex &v : outline) {
        glTexCoord2f(v.s, v.t);
        glVertex3f(v.x, v.y, 0.0f);
    }
    glEnd();
    glEndList();
}

// A fresh list name in the cell (the old list is deleted first)
static void renewList(unsigned int &list)
{
    if (list != 0) glDeleteLists(list, 1);
    list = glGenLists(1);
}

// The image a button shows outside a reduced selection pass
static int buttonImage(const PanelButton &button, int name, int pickName)
{
    if (button.pressed) return IMAGE_DOWN;
    if (name == pickName) return IMAGE_MOVE;
    return IMAGE_UP;
}

// Rotates the frame by the swing angle about the placement's axis
static void rotateBySwing(const ButtonPanel &panel)
{
    switch (panel.placement) {
    case PlacementLeft: glRotatef(panel.angle, 0.0f, 1.0f, 0.0f); break;
    case PlacementRight: glRotatef(-panel.angle, 0.0f, 1.0f, 0.0f); break;
    case PlacementTop: glRotatef(panel.angle, 1.0f, 0.0f, 0.0f); break;
    case PlacementBottom: glRotatef(-panel.angle, 1.0f, 0.0f, 0.0f); break;
    default: break;
    }
}

// The edge menus close once a button's command has run; the others stay open
static bool closesAfterCommand(int id)
{
    return id == PRIMITIVE_PANEL || id == OPERATION_PANEL || id == FILE_PANEL || id == MODE_PANEL;
}

//----------------------------------------------------------------------------------
// Public functions: building
//----------------------------------------------------------------------------------
void PanelDeleter::operator()(ButtonPanel *panel) const
{
    if (panel == nullptr) return;
    if (validId(panel->id) && swingingPanels[(size_t)panel->id] == panel) {
        swingingPanels[(size_t)panel->id] = nullptr;
        swingTickWaiting[(size_t)panel->id] = false;
    }
    delete panel;
}

void setPanelTextureLoader(PanelTextureLoader loader)
{
    textureLoader = (loader != nullptr) ? loader : load_required_bitmap_texture;
}

PanelPtr createPanel(int columns, int rows, int id, int placement, float width, float height,
                     const char *backgroundBitmap)
{
    if (columns < 1 || rows < 1 || columns * rows > MAX_PANEL_BUTTONS || !validId(id)) return nullptr;
    if (placement < PlacementLeft || placement > PlacementFree) return nullptr;
    PanelPtr panel(new ButtonPanel{});
    panel->id = id;
    panel->placement = placement;
    panel->width = width;
    panel->height = height;
    panel->colour = {1.0f, 1.0f, 1.0f, 1.0f};
    panel->backgroundBitmap = backgroundBitmap != nullptr ? backgroundBitmap : "";
    panel->backgroundTexture = loadBitmap(backgroundBitmap);
    panel->columns = columns;
    panel->rows = rows;
    panel->buttonCount = 0;
    panel->buttons.resize((size_t)(columns * rows), PanelButton{{-1, -1, -1}, {}, {0, 0, 0}, 0, nullptr, 0});
    return panel;
}

ButtonPanel *setLeftInset(ButtonPanel *panel, float value) { if (panel) panel->leftInset = value; return panel; }
ButtonPanel *setTopInset(ButtonPanel *panel, float value) { if (panel) panel->topInset = value; return panel; }
ButtonPanel *setColumnGap(ButtonPanel *panel, float value) { if (panel) panel->columnGap = value; return panel; }
ButtonPanel *setRowGap(ButtonPanel *panel, float value) { if (panel) panel->rowGap = value; return panel; }
ButtonPanel *setButtonWidth(ButtonPanel *panel, float value) { if (panel) panel->buttonWidth = value; return panel; }
ButtonPanel *setButtonHeight(ButtonPanel *panel, float value) { if (panel) panel->buttonHeight = value; return panel; }

PanelButton *addPanelButton(ButtonPanel *panel, const char *up, const char *move, const char *down)
{
    if (panel == nullptr) return nullptr;
    if (panel->buttonCount >= (int)panel->buttons.size()) {
        printf("\n Numero de botones completo.");
        fflush(stdout);
        return nullptr;
    }
    PanelButton &button = panel->buttons[(size_t)panel->buttonCount];
    const std::array<const char *, 3> paths = {up, move, down};
    for (size_t i = 0; i < paths.size(); i++) {
        button.bitmaps[i] = paths[i] != nullptr ? paths[i] : "";
        button.textures[i] = loadBitmap(paths[i]);
    }
    button.pressed = 0;
    panel->buttonCount++;
    return &button;
}

void buildPanelLists(ButtonPanel *panel)
{
    if (panel == nullptr) return;
    renewList(panel->backgroundList);
    compileShape(panel->backgroundList, panelName(*panel, -1), panel->width, panel->height,
                 panel->backgroundTexture, panel->colour);
    static const std::array<float, 4> white = {1.0f, 1.0f, 1.0f, 1.0f};
    for (int i = 0; i < panel->buttonCount; i++) {
        PanelButton &button = panel->buttons[(size_t)i];
        for (size_t image = 0; image < button.lists.size(); image++) {
            renewList(button.lists[image]);
            compileShape(button.lists[image], panelName(*panel, i), panel->buttonWidth, panel->buttonHeight,
                         button.textures[image], white);
        }
    }
}

void releasePanelGl(ButtonPanel *panel)
{
    if (panel == nullptr) return;
    auto dropTexture = [](int &texture) {
        if (texture > 0) {
            GLuint name = (GLuint)texture;
            glDeleteTextures(1, &name);
        }
        texture = -1;
    };
    auto dropList = [](unsigned int &list) {
        if (list != 0) glDeleteLists(list, 1);
        list = 0;
    };
    dropList(panel->backgroundList);
    dropTexture(panel->backgroundTexture);
    for (PanelButton &button : panel->buttons) {
        for (unsigned int &list : button.lists) dropList(list);
        for (int &texture : button.textures) dropTexture(texture);
    }
}

//----------------------------------------------------------------------------------
// Public functions: layout
//----------------------------------------------------------------------------------
std::array<OutlineVertex, OUTLINE_POINTS> roundedOutline(float width, float height)
{
    std::array<OutlineVertex, OUTLINE_POINTS> outline = {};
    const float radius = CORNER_RADIUS_SHARE * width;
    const float cx = width / 2.0f - radius, cy = height / 2.0f - radius;
    // Corners clockwise from the top left; each arc turns clockwise through 90 degrees
    struct Corner {
        float x, y, startDegrees;
    };
    const std::array<Corner, 4> corners = {{{-cx, cy, 180.0f}, {cx, cy, 90.0f}, {cx, -cy, 0.0f}, {-cx, -cy, -90.0f}}};
    size_t at = 0;
    for (const Corner &corner : corners) {
        for (int k = 0; k < CORNER_POINTS; k++) {
            float a = (corner.startDegrees - 10.0f * (float)k) * PI / 180.0f;
            OutlineVertex &v = outline[at++];
            v.x = corner.x + radius * std::cos(a);
            v.y = corner.y + radius * std::sin(a);
            v.s = width != 0.0f ? (v.x + width / 2.0f) / width : 0.0f;
            v.t = height != 0.0f ? (v.y + height / 2.0f) / height : 0.0f;
        }
    }
    return outline;
}

PanelPoint placementOffset(const ButtonPanel &panel)
{
    switch (panel.placement) {
    case PlacementLeft: return {-PANEL_SIDE_X, 0.0f, PANEL_DEPTH};
    case PlacementRight: return {PANEL_SIDE_X, 0.0f, PANEL_DEPTH};
    case PlacementTop: return {0.0f, PANEL_EDGE_Y, PANEL_DEPTH};
    case PlacementBottom: return {0.0f, -PANEL_EDGE_Y, PANEL_DEPTH};
    default: return {panel.position[0], panel.position[1], PANEL_DEPTH + panel.position[2]};
    }
}

PanelPoint gridOrigin(const ButtonPanel &panel)
{
    const float w = panel.width / 2.0f, h = panel.height / 2.0f;
    switch (panel.placement) {
    case PlacementLeft: return {0.0f, h, BUTTON_LAYER_Z};
    case PlacementTop: return {-w, -h, BUTTON_LAYER_Z};
    default: return {-w, h, BUTTON_LAYER_Z};
    }
}

PanelPoint buttonCentre(const ButtonPanel &panel, int index)
{
    const int columns = panel.columns > 0 ? panel.columns : 1;
    const float col = (float)(index % columns), row = (float)(index / columns);
    const bool top = panel.placement == PlacementTop;
    PanelPoint origin = gridOrigin(panel);
    float x = panel.columnGap * (col + 1.0f) + panel.buttonWidth * col + panel.buttonWidth / 2.0f;
    float y = panel.rowGap * (row + 1.0f) + panel.buttonHeight * row + panel.buttonHeight / 2.0f;
    return {origin.x + panel.leftInset + x, origin.y + (top ? panel.topInset + y : -(panel.topInset + y)),
            origin.z + BUTTON_LIFT_Z};
}

PanelPoint panelToEye(const ButtonPanel &panel, PanelPoint local)
{
    float a = panel.angle * PI / 180.0f;
    float c = std::cos(a), s = std::sin(a);
    PanelPoint p = local;
    switch (panel.placement) {
    case PlacementLeft: p = {local.x * c + local.z * s, local.y, -local.x * s + local.z * c}; break;
    case PlacementRight: p = {local.x * c - local.z * s, local.y, local.x * s + local.z * c}; break;
    case PlacementTop: p = {local.x, local.y * c - local.z * s, local.y * s + local.z * c}; break;
    case PlacementBottom: p = {local.x, local.y * c + local.z * s, -local.y * s + local.z * c}; break;
    default: break;
    }
    PanelPoint t = placementOffset(panel);
    return {p.x + t.x, p.y + t.y, p.z + t.z};
}

int panelName(const ButtonPanel &panel, int index) { return panel.id * 100 + index + 1; }

//----------------------------------------------------------------------------------
// Public functions: drawing, swing-in and clicks
//----------------------------------------------------------------------------------
void drawPanel(const ButtonPanel *panel, int picking)
{
    if (panel == nullptr) return;
    const int pickName = getPickName();
    // NOTE: once the pointer is over a button of an edge panel, the selection pass only asks
    // whether it is still over that button
    const bool onlyHovered = picking != 0 && pickName != 0 && panel->placement != PlacementFree;

    glPushMatrix();
    glLoadIdentity();
    PanelPoint offset = placementOffset(*panel);
    glTranslatef(offset.x, offset.y, offset.z);
    rotateBySwing(*panel);
    if (!onlyHovered && panel->backgroundList != 0) glCallList(panel->backgroundList);
    for (int i = 0; i < panel->buttonCount; i++) {
        const PanelButton &button = panel->buttons[(size_t)i];
        const int name = panelName(*panel, i);
        if (onlyHovered && name != pickName) continue;
        const int image = onlyHovered ? IMAGE_MOVE : buttonImage(button, name, pickName);
        if (button.lists[(size_t)image] == 0) continue;
        PanelPoint centre = buttonCentre(*panel, i);
        glPushMatrix();
        glTranslatef(centre.x, centre.y, centre.z);
        glCallList(button.lists[(size_t)image]);
        glPopMatrix();
    }
    glPopMatrix();
}

void swingInPanel(ButtonPanel *panel)
{
    if (panel == nullptr || !validId(panel->id)) return;
    const size_t id = (size_t)panel->id;
    panel->angle = SWING_START_ANGLE;
    swingingPanels[id] = panel;
    requestRedraw();
    // NOTE: reopening a panel that is still swinging restarts its angle on the running
    // chain of ticks; a second chain would swing it past its rest angle
    if (swingTickWaiting[id]) return;
    swingTickWaiting[id] = startTimer(SWING_TICK_MS, swingStep, panel->id) == 1;
}

void swingStep(int id)
{
    if (!validId(id)) return;
    const size_t slot = (size_t)id;
    swingTickWaiting[slot] = false;
    ButtonPanel *panel = swingingPanels[slot];
    if (panel == nullptr) return;
    panel->angle += SWING_STEP;
    if (panel->angle > 360.0f) panel->angle -= 360.0f;
    requestRedraw();
    if (panel->angle < SWING_REST_ANGLE) swingTickWaiting[slot] = startTimer(SWING_TICK_MS, swingStep, id) == 1;
}

void clickPanel(ButtonPanel *panel, int pickName)
{
    if (panel == nullptr) return;
    if (pickName == 0) {
        if (panel->id == APPEARANCE_PANEL) setEditorState(0);
        if (panel->id == EVENT_PANEL) {
            if (eventPanelClosed != nullptr) eventPanelClosed();
            setEditorState(0);
        }
        return;
    }
    if (pickName == panelName(*panel, -1)) return;
    // NOTE: only a name of this panel counts (a name left by another panel would otherwise
    // pick a button of this one)
    if (pickName / 100 != panel->id) return;
    const int index = pickName % (panel->id * 100) - 1;
    if (index < 0 || index >= panel->buttonCount) return;
    const PanelButton &button = panel->buttons[(size_t)index];
    if (button.command != nullptr) button.command(button.argument);
    if (closesAfterCommand(panel->id)) setEditorState(0);
}

void setEventPanelClosedHook(void (*hook)()) { eventPanelClosed = hook; }

void markRadioButton(ButtonPanel *panel, int argument)
{
    if (panel == nullptr) return;
    for (int i = 0; i < panel->buttonCount; i++) {
        PanelButton &button = panel->buttons[(size_t)i];
        button.pressed = button.argument == argument ? 1 : 0;
    }
}

PanelButton *findButtonByArgument(ButtonPanel *panel, int argument)
{
    if (panel == nullptr) return nullptr;
    for (int i = 0; i < panel->buttonCount; i++)
        if (panel->buttons[(size_t)i].argument == argument) return &panel->buttons[(size_t)i];
    return nullptr;
}
