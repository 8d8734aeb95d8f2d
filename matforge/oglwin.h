/**********************************************************************************************
*
*   oglwin - "Visor OpenGL", the preview of the material being edited
*
*   A window filled by an OpenGL view (glView1) that draws the material of the material form
*   on a lit sphere, reading the form's controls on every frame, so that every change shows
*   before anything is written to the record. A 10 ms timer redraws it; dragging with a
*   mouse button held turns the sphere one degree per unit of movement. Textures are made
*   from the frames' bitmaps and made again only when the name of a frame changes. The view
*   draws with the fixed-function pipeline of OpenGL 1.x in a compatibility context, and
*   GLU for the projection and the spheres. The window belongs to the form and closes with
*   it.
*
*   DEPENDENCIES: Qt Widgets, Qt OpenGL widgets, OpenGL, GLU, fuente_preview (what the form
*                 offers), bitmaps, material_form_values
*
**********************************************************************************************/
#pragma once

#include "editor_material.h"
#include "fuente_preview.h"

#include <QImage>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QTimer;
struct GLUquadric;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
// The view of the preview (glView1)
class VistaGL : public QOpenGLWidget {
    Q_OBJECT

public:
    VistaGL(const FuentePreview &fuente, QWidget *padre);
    ~VistaGL() override;

    // Rotation of the sphere in degrees, about Y and about X
    double yaw() const { return Yaw; }
    double pitch() const { return Pitch; }

    // Stops drawing (the window is closing)
    void termina();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent *evento) override;
    void mouseMoveEvent(QMouseEvent *evento) override;
    void mouseReleaseEvent(QMouseEvent *evento) override;

private:
    // The texture made from one working frame, and the frame name it was made from
    struct TexturaFrame {
        unsigned int nombre = 0;
        std::string frame;
        bool imagen = false;   // false when the bitmap could not be read
    };

    void Render_glView1();
    bool preparaTextura(int k, const std::string &frame);
    void liberaGL();

    const FuentePreview &fuente_;   // the form, which owns the window and so outlives the view
    GLUquadric *quadric_ = nullptr;
    std::array<TexturaFrame, MATERIAL_FRAMES> texturas_{};
    bool legacy_ = false;      // the context offers the fixed-function pipeline

    bool Done = false;
    int Selected = 0;
    double Pitch = 0;
    double Yaw = 0;
    float oldX = 0;
    float oldY = 0;
};

// The preview window
class OGLWin : public QWidget {
    Q_OBJECT

public:
    // A window of its own that belongs to the form (closed and deleted with it), drawing what
    // the form offers
    OGLWin(QWidget *form, const FuentePreview &fuente);

    VistaGL *glView1() const { return glView1_; }

    // The surface the view asks for: compatibility profile, double buffer, 16 depth bits
    static QSurfaceFormat formato();

    // True when an OpenGL context with the fixed-function pipeline can be made
    static bool contextoPosible();

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    VistaGL *glView1_ = nullptr;
    QTimer *timer2_ = nullptr;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// The pixels of an image as 24-bit rows, blue-green-red, bottom row first and tightly
// packed (the layout of a device-independent bitmap without row padding)
std::vector<uint8_t> filasBGR(const QImage &imagen);
