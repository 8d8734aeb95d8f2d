/**********************************************************************************************
*
*   bare_gamemode - the floor of the frame path: a freeglut game-mode program that only clears
*   the screen and swaps, as fast as it can
*
*   Usage: bare_gamemode   (on an X server with the 1024x768@75 game mode; ends when killed)
*
*   DEPENDENCIES: freeglut, OpenGL
*
**********************************************************************************************/
#include <GL/freeglut.h>
#include <stdio.h>

// Clears and swaps
static void display(void)
{
    glClearColor(0.0f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

// Asks for the next frame at once
static void idle(void) { glutPostRedisplay(); }

int main(int argc, char **argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutGameModeString("1024x768:32@75");
    if (!glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
        fprintf(stderr, "bare_gamemode: no game mode\n");
        return 1;
    }
    glutEnterGameMode();
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    setvbuf(stdout, NULL, _IOLBF, 0);
    printf(" MainLoop started...\n");
    glutMainLoop();
    return 0;
}
