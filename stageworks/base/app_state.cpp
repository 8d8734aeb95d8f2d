/**********************************************************************************************
*
*   app_state - the process-wide application state of stageworks
*
**********************************************************************************************/
#include "app_state.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static AppState state;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void resetAppState() { state = AppState(); }

int getEditorState() { return state.editorState; }
void setEditorState(int value) { state.editorState = value; }
int getPickName() { return state.pickName; }
void setPickName(int value) { state.pickName = value; }
int getLookMode() { return state.lookMode; }
void setLookMode(int value) { state.lookMode = value; }
int getObjectHeld() { return state.objectHeld; }
void setObjectHeld(int value) { state.objectHeld = value; }
int getEditingMode() { return state.editingMode; }
void setEditingMode(int value) { state.editingMode = value; }
int getCurrentOperation() { return state.currentOperation; }
void setCurrentOperation(int value) { state.currentOperation = value; }
int getTextEntryOpen() { return state.textEntryOpen; }
void setTextEntryOpen(int value) { state.textEntryOpen = value; }
int getDragAxisLock() { return state.dragAxisLock; }
void setDragAxisLock(int value) { state.dragAxisLock = value; }
int getPlayMode() { return state.playMode; }
void setPlayMode(int value) { state.playMode = value; }
primitiva *getSelectedObject() { return state.selectedObject; }
void setSelectedObject(primitiva *value) { state.selectedObject = value; }
int getSelectedIndex() { return state.selectedIndex; }
void setSelectedIndex(int value) { state.selectedIndex = value; }
int getLastHitName() { return state.lastHitName; }
void setLastHitName(int value) { state.lastHitName = value; }
int getLockedObject() { return state.lockedObject; }
void setLockedObject(int value) { state.lockedObject = value; }
int getPickPending() { return state.pickPending; }
void setPickPending(int value) { state.pickPending = value; }
int getExiting() { return state.exiting; }
void setExiting(int value) { state.exiting = value; }
int getUseDisplayLists() { return state.useDisplayLists; }
void setUseDisplayLists(int value) { state.useDisplayLists = value; }
int getHudVisible() { return state.hudVisible; }
void setHudVisible(int value) { state.hudVisible = value; }
int getFlyMode() { return state.flyMode; }
void setFlyMode(int value) { state.flyMode = value; }
int getInvertMouseY() { return state.invertMouseY; }
void setInvertMouseY(int value) { state.invertMouseY = value; }
float getFieldOfView() { return state.fieldOfView; }
void setFieldOfView(float value) { state.fieldOfView = value; }
int getFrameMinMs() { return state.frameMinMs; }
void setFrameMinMs(int value) { state.frameMinMs = value; }
float getSunAngle() { return state.sunAngle; }
void setSunAngle(float value) { state.sunAngle = value; }
int getFrameCounter() { return state.frameCounter; }
void setFrameCounter(int value) { state.frameCounter = value; }
int getFrameTimeMin() { return state.frameTimeMin; }
void setFrameTimeMin(int value) { state.frameTimeMin = value; }
int getFrameTimeMax() { return state.frameTimeMax; }
void setFrameTimeMax(int value) { state.frameTimeMax = value; }
int getFrameStart() { return state.frameStart; }
void setFrameStart(int value) { state.frameStart = value; }
