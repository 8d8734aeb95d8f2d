/**********************************************************************************************
*
*   main - entry point of matforge, the material editor of the scene file
*
*   DEPENDENCIES: Qt Widgets, form1
*
**********************************************************************************************/
#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Form1 ventana;
    ventana.show();
    return app.exec();
}
