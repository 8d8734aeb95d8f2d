/**********************************************************************************************
*
*   oglwin - "Visor OpenGL", the preview of the material being edited
*
**********************************************************************************************/
#include "oglwin.h"

#include "bitmaps.h"
#include "material_form_values.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QTimer>
#include <QVBoxLayout>

#include <GL/gl.h>
#include <GL/glu.h>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
static const int LADO_VENTANA = 200;       // 3000 twips at 15 twips a pixel
static const int INTERVALO_DIBUJO = 10;    // Timer2, milliseconds
static const double CAMPO_VISION = 35.0;
static const double PLANO_CERCANO = 1.0;
static const double PLANO_LEJANO = 100.0;
static const double RADIO_ESFERA = 4.0;
static const int DIVISIONES_ESFERA = 32;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Bottom row first, as a device-independent bitmap holds it
std::vector<uint8_t> filasBGR(const QImage &imagen)
{
    std::vector<uint8_t> filas;
    if (imagen.isNull()) return filas;
    QImage rgb = imagen.convertToFormat(QImage::Format_RGB888);
    int ancho = rgb.width();
    int alto = rgb.height();
    filas.resize((size_t)ancho * (size_t)alto * 3);
    size_t destino = 0;
    for (int y = alto - 1; y >= 0; y--) {
        const uchar *fila = rgb.constScanLine(y);
        for (int x = 0; x < ancho; x++) {
            filas[destino++] = fila[x * 3 + 2];
            filas[destino++] = fila[x * 3 + 1];
            filas[destino++] = fila[x * 3];
        }
    }
    return filas;
}

//----------------------------------------------------------------------------------
// The view
//----------------------------------------------------------------------------------
// The view asks for the preview's surface format
VistaGL::VistaGL(const FuentePreview &fuente, QWidget *padre) : QOpenGLWidget(padre), fuente_(fuente)
{
    setObjectName("glView1");
    setFormat(OGLWin::formato());
}

// Frees the GL objects while the context still exists
VistaGL::~VistaGL()
{
    liberaGL();
    // NOTE: the base class destroys the context after this part of the object is gone
    if (context() != nullptr) disconnect(context(), nullptr, this, nullptr);
}

// Stops drawing and dragging
void VistaGL::termina()
{
    Done = true;
    Selected = 0;
}

// Textures and quadric go with the context
void VistaGL::liberaGL()
{
    bool hayTexturas = false;
    for (const TexturaFrame &textura : texturas_) hayTexturas = hayTexturas || textura.nombre != 0;
    if (context() == nullptr || (quadric_ == nullptr && !hayTexturas)) return;
    makeCurrent();
    for (TexturaFrame &textura : texturas_) {
        if (textura.nombre != 0) glDeleteTextures(1, &textura.nombre);
        textura = TexturaFrame{};
    }
    if (quadric_ != nullptr) gluDeleteQuadric(quadric_);
    quadric_ = nullptr;
    doneCurrent();
}

// The GL set-up: clear values, shading, culling, depth, blending, lights, the quadric
void VistaGL::initializeGL()
{
    QOpenGLContext *contexto = context();
    legacy_ = contexto != nullptr && contexto->isValid() && !contexto->isOpenGLES() &&
              contexto->format().profile() != QSurfaceFormat::CoreProfile;
    if (!legacy_) return;
    connect(contexto, &QOpenGLContext::aboutToBeDestroyed, this, &VistaGL::liberaGL, Qt::DirectConnection);

    glClearColor(0.0f, 0.25f, 0.5f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1.0);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);

    const GLfloat ambiente[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat blanco[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat posicion[4] = {0.0f, 1.0f, 19.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambiente);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, blanco);
    glLightfv(GL_LIGHT1, GL_SPECULAR, blanco);
    glLightfv(GL_LIGHT1, GL_POSITION, posicion);
    // NOTE: light 0 (a white light from the viewer) is the one every frame switches on;
    // it is on from the start so that the first frame is lit like the others
    glEnable(GL_LIGHT0);
    // NOTE: the view has no alpha of its own: the alpha that blending leaves in the
    // framebuffer would make the view see-through when the window composes it
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);

    quadric_ = gluNewQuadric();
    if (quadric_ != nullptr) {
        gluQuadricTexture(quadric_, GL_TRUE);
        gluQuadricNormals(quadric_, GLU_SMOOTH);
    }
}

// Viewport and a 35 degree perspective
void VistaGL::resizeGL(int w, int h)
{
    if (!legacy_) return;
    qreal escala = devicePixelRatioF();
    glViewport(0, 0, (GLsizei)(w * escala), (GLsizei)(h * escala));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(CAMPO_VISION, (double)w / (double)(h > 0 ? h : 1), PLANO_CERCANO, PLANO_LEJANO);
    glMatrixMode(GL_MODELVIEW);
}

// Called on every update from the window's 10 ms timer
void VistaGL::paintGL()
{
    if (Done || !legacy_ || quadric_ == nullptr) return;
    Render_glView1();
}

// Makes texture k again from the frame's bitmap when its frame name changed; true when the
// texture has an image to draw with
bool VistaGL::preparaTextura(int k, const std::string &frame)
{
    TexturaFrame &textura = texturas_[k];
    if (textura.nombre != 0 && textura.frame == frame) return textura.imagen;
    if (textura.nombre != 0) glDeleteTextures(1, &textura.nombre);
    textura = TexturaFrame{};
    glGenTextures(1, &textura.nombre);
    textura.frame = frame;
    glBindTexture(GL_TEXTURE_2D, textura.nombre);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    QImage imagen = leeBitmap(fuente_.documento(), frame);
    GLint mayor = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mayor);
    if (imagen.isNull() || imagen.width() > mayor || imagen.height() > mayor) return false;
    std::vector<uint8_t> filas = filasBGR(imagen);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, imagen.width(), imagen.height(), 0, GL_BGR, GL_UNSIGNED_BYTE, filas.data());
    textura.imagen = glGetError() == GL_NO_ERROR;
    return textura.imagen;
}

// One frame: the small sphere, then the material sphere with the form's material
void VistaGL::Render_glView1()
{
    ValoresForm valores = fuente_.valores();
    MaterialVista material = materialVista(valores);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 5.0f, -40.0f);
    glRotatef(25.0f, 1.0f, 0.0f, 0.0f);

    glPushMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glTranslatef(-4.0f, 7.3f, 15.0f);
    gluSphere(quadric_, RADIO_ESFERA, DIVISIONES_ESFERA, DIVISIONES_ESFERA);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(0.0f, 5.3f, 22.0f);
    glEnable(GL_LIGHT0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    int k = fuente_.muestraFrame();
    bool conTextura = valores.texturado && k >= 0 && k < MATERIAL_FRAMES && !valores.frames[k].empty() &&
                      preparaTextura(k, valores.frames[k]);
    if (conTextura) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texturas_[k].nombre);
        // NOTE: the texture matrix starts afresh every frame, or the scales would pile up
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glScalef(material.scaleX, 1.0f, 1.0f);
        glScalef(1.0f, material.scaleY, 1.0f);
        glMatrixMode(GL_MODELVIEW);
    } else {
        glDisable(GL_TEXTURE_2D);
    }

    glMaterialfv(GL_FRONT, GL_AMBIENT, material.ambient.data());
    glMaterialfv(GL_FRONT, GL_DIFFUSE, material.diffuse.data());
    glMaterialfv(GL_FRONT, GL_SPECULAR, material.specular.data());
    glMaterialfv(GL_FRONT, GL_EMISSION, material.emission.data());
    glMaterialf(GL_FRONT, GL_SHININESS, material.shininess);

    glRotated(Yaw, 0.0, 1.0, 0.0);
    glRotated(Pitch, 1.0, 0.0, 0.0);
    gluSphere(quadric_, RADIO_ESFERA, DIVISIONES_ESFERA, DIVISIONES_ESFERA);
    glDisable(GL_LIGHT1);
    glEnable(GL_LIGHT0);
    glPopMatrix();
}

// A button pressed on the view starts a drag
void VistaGL::mousePressEvent(QMouseEvent *evento)
{
    Selected = 1;
    oldX = (float)evento->position().x();
    oldY = (float)evento->position().y();
}

// While dragging, every unit of movement turns the sphere one degree
void VistaGL::mouseMoveEvent(QMouseEvent *evento)
{
    if (Selected != 1) return;
    float x = (float)evento->position().x();
    float y = (float)evento->position().y();
    Yaw += x - oldX;
    Pitch += y - oldY;
    oldX = x;
    oldY = y;
}

// The drag ends with the button
void VistaGL::mouseReleaseEvent(QMouseEvent *)
{
    Selected = 0;
}

//----------------------------------------------------------------------------------
// The window
//----------------------------------------------------------------------------------
// 200 by 200 pixels, the view filling it, redrawn every 10 ms
OGLWin::OGLWin(QWidget *form, const FuentePreview &fuente) : QWidget(form, Qt::Window)
{
    setObjectName("OGLWin");
    setWindowTitle("Visor OpenGL");
    setAttribute(Qt::WA_DeleteOnClose);
    glView1_ = new VistaGL(fuente, this);
    auto *todo = new QVBoxLayout(this);
    todo->setContentsMargins(0, 0, 0, 0);
    todo->addWidget(glView1_);
    resize(LADO_VENTANA, LADO_VENTANA);

    timer2_ = new QTimer(this);
    timer2_->setObjectName("Timer2");
    timer2_->setInterval(INTERVALO_DIBUJO);
    connect(timer2_, &QTimer::timeout, glView1_, qOverload<>(&QWidget::update));
    timer2_->start();
}

// Compatibility profile for the fixed-function calls
QSurfaceFormat OGLWin::formato()
{
    QSurfaceFormat formato;
    formato.setRenderableType(QSurfaceFormat::OpenGL);
    formato.setProfile(QSurfaceFormat::CompatibilityProfile);
    formato.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    formato.setRedBufferSize(8);
    formato.setGreenBufferSize(8);
    formato.setBlueBufferSize(8);
    formato.setDepthBufferSize(16);
    return formato;
}

// A throw-away context made with the view's format
bool OGLWin::contextoPosible()
{
    QOpenGLContext prueba;
    prueba.setFormat(formato());
    if (!prueba.create()) return false;
    return !prueba.isOpenGLES() && prueba.format().profile() != QSurfaceFormat::CoreProfile;
}

// Closing stops the drawing and the drag; the view frees its GL objects when it goes
void OGLWin::closeEvent(QCloseEvent *evento)
{
    timer2_->stop();
    glView1_->termina();
    evento->accept();
}
