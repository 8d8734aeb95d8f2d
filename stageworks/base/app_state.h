/**********************************************************************************************
*
*   app_state - the process-wide application state of stageworks
*
*   One record of modes, selection, pick requests, display switches and frame statistics.
*   Every field is read and written through one getter and one setter; the setters store the
*   value and nothing else.
*
*   DEPENDENCIES: none (the selected object is an opaque pointer into the object table)
*
**********************************************************************************************/
#pragma once

struct primitiva;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// Editing modes chosen in the editing-mode menu
enum EditingMode { Navigation = 0, ObjectEditing = 1, Events = 2 };

// Object operations chosen in the operation menu
enum ObjectOperation {
    Clone = 0, Lock = 1, Delete = 2, Appearance = 3,
    Move = 4, Rotate = 5, ScaleUniform = 6, ScaleAxis = 7
};

struct AppState {
    int editorState = 0;
    int pickName = 0;
    int lookMode = 0;
    int objectHeld = 0;
    int editingMode = Navigation;
    int currentOperation = Move;
    int textEntryOpen = 0;
    int dragAxisLock = 0;
    int playMode = 0;
    primitiva *selectedObject = nullptr;
    int selectedIndex = 0;
    int lastHitName = 0;
    int lockedObject = -1;
    int pickPending = 0;
    int exiting = 0;
    int useDisplayLists = 1;
    int hudVisible = 0;
    int flyMode = 0;
    int invertMouseY = 0;
    float fieldOfView = 45.0f;
    int frameMinMs = 16;
    float sunAngle = -35.0f;
    int frameCounter = 0;
    int frameTimeMin = 200;
    int frameTimeMax = 0;
    int frameStart = 0;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Puts every field back to its initial value
void resetAppState();

int getEditorState();          void setEditorState(int value);
int getPickName();             void setPickName(int value);
int getLookMode();             void setLookMode(int value);
int getObjectHeld();           void setObjectHeld(int value);
int getEditingMode();          void setEditingMode(int value);
int getCurrentOperation();     void setCurrentOperation(int value);
int getTextEntryOpen();        void setTextEntryOpen(int value);
int getDragAxisLock();         void setDragAxisLock(int value);
int getPlayMode();             void setPlayMode(int value);
primitiva *getSelectedObject(); void setSelectedObject(primitiva *value);
int getSelectedIndex();        void setSelectedIndex(int value);
int getLastHitName();          void setLastHitName(int value);
int getLockedObject();         void setLockedObject(int value);
int getPickPending();          void setPickPending(int value);
int getExiting();              void setExiting(int value);
int getUseDisplayLists();      void setUseDisplayLists(int value);
int getHudVisible();           void setHudVisible(int value);
int getFlyMode();              void setFlyMode(int value);
int getInvertMouseY();         void setInvertMouseY(int value);
float getFieldOfView();        void setFieldOfView(float value);
int getFrameMinMs();           void setFrameMinMs(int value);
float getSunAngle();           void setSunAngle(float value);
int getFrameCounter();         void setFrameCounter(int value);
int getFrameTimeMin();         void setFrameTimeMin(int value);
int getFrameTimeMax();         void setFrameTimeMax(int value);
int getFrameStart();           void setFrameStart(int value);
