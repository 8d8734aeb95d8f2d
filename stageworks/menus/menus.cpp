/**********************************************************************************************
*
*   menus - the five editor menus, the event panel record and the commands of their buttons
*
**********************************************************************************************/
#include "menus.h"

#include "app_state.h"
#include "exit_program.h"
#include "objects.h"
#include "records.h"

#include <array>
#include <string>

//----------------------------------------------------------------------------------
// Types and tables
//----------------------------------------------------------------------------------
namespace {

// Size, place and grid of one panel
struct PanelLayout {
    int columns, rows, id, placement;
    float width, height;
    const char *background;
    float leftInset, topInset;
    float buttonWidth, buttonHeight;
    float columnGap, rowGap;
};

const PanelLayout PRIMITIVE_LAYOUT = {2, 6, PRIMITIVE_PANEL, PlacementLeft, 20, 25, "Data/menuPrimitiva.bmp",
                                      0.5f, 2.5f, 3.5f, 3.5f, 0.5f, 0.1f};
const PanelLayout OPERATION_LAYOUT = {4, 2, OPERATION_PANEL, PlacementBottom, 32, 20, "Data/menuOperation.bmp",
                                      2.1f, 2.3f, 6.5f, 2.5f, 0.3f, 0.666f};
const PanelLayout FILE_LAYOUT = {4, 1, FILE_PANEL, PlacementTop, 32, 20, "Data/menuFile.bmp",
                                 2.1f, 2.5f, 6.5f, 3.25f, 0.3f, 0.666f};
const PanelLayout MODE_LAYOUT = {1, 5, MODE_PANEL, PlacementRight, 20, 25, "Data/menuOpEsp.bmp",
                                 2.1f, 3.0f, 6.5f, 3.25f, 0.0f, 0.666f};
const PanelLayout APPEARANCE_LAYOUT = {1, 5, APPEARANCE_PANEL, PlacementFree, 8, 14, "Data/menuApariencia.bmp",
                                       1.75f, 2.15f, 5.0f, 2.0f, 0.0f, 0.5f};
// NOTE: the event editor lays out its own buttons; only the insets are the panel's
const PanelLayout EVENT_LAYOUT = {1, 35, EVENT_PANEL, PlacementFree, 30, 6, "Data/events1.bmp",
                                  2.0f, 1.6f, 0.0f, 0.0f, 0.0f, 0.0f};

const std::array<float, 3> APPEARANCE_POSITION = {-14.5f, 0.0f, 0.0f};
const std::array<float, 3> EVENT_PANEL_POSITION = {0.0f, 6.875f, 0.0f};

// Primitive buttons: picture stem (up and down "<stem>.bmp", move "<stem>Selected.bmp") and kind
struct PrimitiveButton {
    const char *stem;
    int kind;
};

const std::array<PrimitiveButton, 12> PRIMITIVE_BUTTONS = {{
    {"cubo", KIND_CUBE},
    {"piramide", KIND_PYRAMID},
    {"trapecio", KIND_TRAPEZOID},
    {"rectangulo", KIND_RECTANGLE},
    {"paralelepipedo", KIND_PARALLELEPIPED},
    {"triangulo", KIND_TRIANGLE},
    {"circulo", KIND_CIRCLE},
    {"medio circulo", KIND_HALF_CIRCLE},
    {"cilindro", KIND_CYLINDER},
    {"medio cilindro", KIND_HALF_CYLINDER},
    {"esfera", KIND_SPHERE},
    {"media esfera", KIND_HALF_SPHERE},
}};

// Buttons of the other menus: stem (bitmaps "<stem>Up/Move/Down.bmp"), argument, command
struct MenuButton {
    const char *stem;
    int argument;
    ButtonCommand command;
};

// Appearance buttons by argument
constexpr int CHANGE_MATERIAL = 1;
constexpr int SOLID = 2;
constexpr int AVERAGED = 3;
constexpr int WIREFRAME = 4;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
MenuHooks hooks = {};
PanelPtr primitive, operation, file, mode, appearance, events;

//----------------------------------------------------------------------------------
// Private helpers: commands
//----------------------------------------------------------------------------------

// Runs a hook when one is registered
void runHook(void (*hook)())
{
    if (hook != nullptr) hook();
}

// Primitive menu: a new object of the kind at the viewer
void createPrimitive(int kind) { create_object(kind); }

// Operation and editing-mode menus: the choice, shown as the one pressed button
void chooseOperation(int value)
{
    setCurrentOperation(value);
    markRadioButton(operation.get(), value);
}

void chooseMode(int value)
{
    setEditingMode(value);
    markRadioButton(mode.get(), value);
}

// File menu
void playCommand(int) { runHook(hooks.play); }
void loadCommand(int) { runHook(hooks.load); }
void saveCommand(int) { runHook(hooks.save); }
void exitCommand(int)
{
    if (hooks.leave != nullptr) hooks.leave();
    else exitProgram();
}

// Appearance menu: the material chooser, and three switches of the selected object
void changeMaterialCommand(int) { runHook(hooks.changeMaterial); }

// Sets the mark of the appearance button with that argument
void markAppearance(int argument, int on)
{
    PanelButton *button = findButtonByArgument(appearance.get(), argument);
    if (button != nullptr) button->pressed = on ? 1 : 0;
}

void toggleSolid(int argument)
{
    primitiva *object = getSelectedObject();
    if (object == nullptr) return;
    toggle_solido(object);
    markAppearance(argument, is_solid(object));
    set_dirty(object, 1);
}

void toggleAveraged(int argument)
{
    primitiva *object = getSelectedObject();
    if (object == nullptr) return;
    set_promediado(object, get_promediado(object) ? 0 : 1);
    markAppearance(argument, get_promediado(object));
    set_dirty(object, 1);
}

void toggleWireframe(int argument)
{
    primitiva *object = getSelectedObject();
    if (object == nullptr) return;
    set_wire_frame(object, get_wire_frame(object) ? 0 : 1);
    markAppearance(argument, get_wire_frame(object));
    set_dirty(object, 1);
}

const std::array<MenuButton, 8> OPERATION_BUTTONS = {{
    {"clonacion", Clone, chooseOperation},
    {"bloquear", Lock, chooseOperation},
    {"eliminar", Delete, chooseOperation},
    {"Apariencia", Appearance, chooseOperation},
    {"translacion", Move, chooseOperation},
    {"rotacion", Rotate, chooseOperation},
    {"EscaladoUni", ScaleUniform, chooseOperation},
    {"EscaladoDir", ScaleAxis, chooseOperation},
}};

const std::array<MenuButton, 4> FILE_BUTTONS = {{
    {"play", 1, playCommand},
    {"load", 2, loadCommand},
    {"save", 3, saveCommand},
    {"exit", 4, exitCommand},
}};

const std::array<MenuButton, 3> MODE_BUTTONS = {{
    {"navegacion", Navigation, chooseMode},
    {"edObjetos", ObjectEditing, chooseMode},
    {"eventos", Events, chooseMode},
}};

const std::array<MenuButton, 4> APPEARANCE_BUTTONS = {{
    {"cambiarMaterial", CHANGE_MATERIAL, changeMaterialCommand},
    {"solido", SOLID, toggleSolid},
    {"Promedio", AVERAGED, toggleAveraged},
    {"malla", WIREFRAME, toggleWireframe},
}};

//----------------------------------------------------------------------------------
// Private helpers: building
//----------------------------------------------------------------------------------

// A panel with its layout values
PanelPtr makePanel(const PanelLayout &l)
{
    PanelPtr panel = createPanel(l.columns, l.rows, l.id, l.placement, l.width, l.height, l.background);
    setButtonHeight(setButtonWidth(setRowGap(setColumnGap(setTopInset(setLeftInset(panel.get(), l.leftInset),
                                                                      l.topInset),
                                                          l.columnGap),
                                              l.rowGap),
                                   l.buttonWidth),
                    l.buttonHeight);
    return panel;
}

// Adds a button and sets what it runs
void addButton(ButtonPanel *panel, const std::string &up, const std::string &move, const std::string &down,
               ButtonCommand command, int argument)
{
    PanelButton *button = addPanelButton(panel, up.c_str(), move.c_str(), down.c_str());
    if (button == nullptr) return;
    button->command = command;
    button->argument = argument;
}

// Adds the buttons of a table, named from their stems with Up, Move and Down
template <size_t N>
void addStemButtons(ButtonPanel *panel, const std::array<MenuButton, N> &table)
{
    for (const MenuButton &b : table) {
        std::string stem = std::string("Data/") + b.stem;
        addButton(panel, stem + "Up.bmp", stem + "Move.bmp", stem + "Down.bmp", b.command, b.argument);
    }
}

PanelPtr makePrimitiveMenu()
{
    PanelPtr panel = makePanel(PRIMITIVE_LAYOUT);
    for (const PrimitiveButton &b : PRIMITIVE_BUTTONS) {
        std::string picture = std::string("Data/") + b.stem;
        addButton(panel.get(), picture + ".bmp", picture + "Selected.bmp", picture + ".bmp", createPrimitive, b.kind);
    }
    return panel;
}

PanelPtr makeOperationMenu()
{
    PanelPtr panel = makePanel(OPERATION_LAYOUT);
    addStemButtons(panel.get(), OPERATION_BUTTONS);
    markRadioButton(panel.get(), Move);
    return panel;
}

PanelPtr makeModeMenu()
{
    PanelPtr panel = makePanel(MODE_LAYOUT);
    addStemButtons(panel.get(), MODE_BUTTONS);
    markRadioButton(panel.get(), Navigation);
    return panel;
}

PanelPtr makeAppearanceMenu()
{
    PanelPtr panel = makePanel(APPEARANCE_LAYOUT);
    if (panel) panel->position = APPEARANCE_POSITION;
    addStemButtons(panel.get(), APPEARANCE_BUTTONS);
    return panel;
}

PanelPtr makeFileMenu()
{
    PanelPtr panel = makePanel(FILE_LAYOUT);
    addStemButtons(panel.get(), FILE_BUTTONS);
    return panel;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions: hooks
//----------------------------------------------------------------------------------
void setMenuHooks(const MenuHooks &value)
{
    hooks = value;
    setEventPanelClosedHook(hooks.closeEventPanel);
}
const MenuHooks &menuHooks() { return hooks; }

//----------------------------------------------------------------------------------
// Public functions: building
//----------------------------------------------------------------------------------
void createMenus()
{
    primitive = makePrimitiveMenu();
    operation = makeOperationMenu();
    mode = makeModeMenu();
    appearance = makeAppearanceMenu();
    file = makeFileMenu();
}

void buildMenus()
{
    createMenus();
    for (ButtonPanel *panel : {primitive.get(), operation.get(), mode.get(), appearance.get(), file.get()})
        buildPanelLists(panel);
}

void createEventPanel()
{
    events = makePanel(EVENT_LAYOUT);
    if (!events) return;
    events->position = EVENT_PANEL_POSITION;
    events->colour = {1.0f, 1.0f, 1.0f, 1.0f};
}

void buildEventPanel()
{
    createEventPanel();
    buildPanelLists(events.get());
}

void freeMenus()
{
    primitive.reset();
    operation.reset();
    file.reset();
    mode.reset();
    appearance.reset();
    events.reset();
}

//----------------------------------------------------------------------------------
// Public functions: the panels
//----------------------------------------------------------------------------------
ButtonPanel *primitiveMenu() { return primitive.get(); }
ButtonPanel *operationMenu() { return operation.get(); }
ButtonPanel *fileMenu() { return file.get(); }
ButtonPanel *modeMenu() { return mode.get(); }
ButtonPanel *appearanceMenu() { return appearance.get(); }
ButtonPanel *eventPanel() { return events.get(); }

ButtonPanel *panelForState(int editorState)
{
    switch (editorState) {
    case PRIMITIVE_PANEL: return primitive.get();
    case OPERATION_PANEL: return operation.get();
    case FILE_PANEL: return file.get();
    case MODE_PANEL: return mode.get();
    case APPEARANCE_PANEL: return appearance.get();
    default: return editorState >= EVENT_PANEL ? events.get() : nullptr;
    }
}

void setAppearanceMarks(const primitiva *object)
{
    markAppearance(CHANGE_MATERIAL, 0);
    markAppearance(SOLID, object != nullptr && is_solid(object));
    markAppearance(AVERAGED, object != nullptr && object->promediado != 0);
    markAppearance(WIREFRAME, object != nullptr && object->wireFrame != 0);
}
