/**********************************************************************************************
*
*   message_box - error boxes for a program that has no dialog toolkit
*
**********************************************************************************************/
#include "message_box.h"

#include <cstdio>
#include <cstring>

void showMessageBox(const char *caption, const char *text)
{
    const char *body = text ? text : "";
    size_t length = strlen(body);
    // NOTE: texts that already end in a line feed are not given a second one
    fprintf(stderr, "%s: %s%s", caption ? caption : "", body,
            (length > 0 && body[length - 1] == '\n') ? "" : "\n");
    fflush(stderr);
}
