/**********************************************************************************************
*
*   message_box - error boxes for a program that has no dialog toolkit
*
*   A message box is a caption and a text shown to the user. stageworks runs full screen with
*   no dialog toolkit, so a box is written to the error stream as "caption: text".
*
*   DEPENDENCIES: none
*
**********************************************************************************************/
#pragma once

// Shows a message box with the given caption and text
void showMessageBox(const char *caption, const char *text);
