// Materials and textures read back from a real GL context: the colours a material sends,
// loading bitmaps once, the frame an animated texture binds at a given time, the wrap rule,
// unloaded bitmaps drawn plain, and releasing every texture.
#include "frame_pacing.h"
#include "gl_context.h"
#include "materials.h"
#include "textures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string DATA = std::string(SW_RUNDATA_DIR) + "/Data/";
int fakeNow = 0;
int fakeClock() { return fakeNow; }

// One material colour as GL holds it on both sides
void expectMaterial(GLenum parameter, float r, float g, float b, float a)
{
    for (GLenum side : {GL_FRONT, GL_BACK}) {
        GLfloat v[4] = {-1, -1, -1, -1};
        glGetMaterialfv(side, parameter, v);
        EXPECT_NEAR(v[0], r, 1e-6) << parameter;
        EXPECT_NEAR(v[1], g, 1e-6) << parameter;
        EXPECT_NEAR(v[2], b, 1e-6) << parameter;
        EXPECT_NEAR(v[3], a, 1e-6) << parameter;
    }
}

GLuint boundTexture()
{
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return (GLuint)name;
}

GLint boundWrap(GLenum which)
{
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &wrap);
    return wrap;
}

// Level 0 of a texture as RGB bytes
std::vector<unsigned char> textureImage(GLuint name, int *width = nullptr)
{
    glBindTexture(GL_TEXTURE_2D, name);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<unsigned char> pixels((size_t)w * (size_t)h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    if (width) *width = w;
    return pixels;
}

class MaterialsGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(openGlContext()); }
    void SetUp() override
    {
        create_material_table();
        create_texture_table();
        fakeNow = 0;
        setElapsedTimeSource(fakeClock);
    }
    void TearDown() override
    {
        delete_all_textures();
        clear_texture_table();
        clear_material_table();
        setElapsedTimeSource(nullptr);
    }
    // A material cycling through the given bitmaps (all loaded), multiple = frames + 1
    static material_record animated(const std::vector<std::string> &frames, int milTime)
    {
        material_record m;
        m.texturado = 1;
        m.texture = new_texture_block();
        m.texture->milTime = milTime;
        m.texture->multiple = 1;
        for (const std::string &frame : frames) {
            add_frame(m.texture.get(), frame.c_str());
            load_texture(frame.c_str());
        }
        return m;
    }
};

}  // namespace

TEST_F(MaterialsGl, TheDefaultMaterialSendsItsFiveValues)
{
    add_default_material();
    apply_material(find_material("(default)"));
    expectMaterial(GL_AMBIENT, 1, 1, 1, 1);
    expectMaterial(GL_DIFFUSE, 0.9f, 0.9f, 0.9f, 1);
    expectMaterial(GL_SPECULAR, 0.1f, 0.1f, 0.1f, 1);
    expectMaterial(GL_EMISSION, 0, 0, 0, 1);
    GLfloat shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 64.0f);

    // A null material sends the same defaults
    material_record other;
    other.pLuzDif = {0.2f, 0.4f, 0.6f, 1.0f};
    apply_material(&other);
    apply_material(nullptr);
    expectMaterial(GL_DIFFUSE, 0.9f, 0.9f, 0.9f, 1);
}

TEST_F(MaterialsGl, WeightsScaleTheColoursAndBlendHalvesEveryAlpha)
{
    material_record m;
    m.pLuzDif = {0.5f, 0.25f, 1.0f, 1.0f};
    m.pLuzEsp = {1.0f, 0.5f, 0.0f, 0.8f};
    m.pLuzEmi = {0.2f, 0.0f, 0.4f, 0.6f};
    m.Ka = 0.5f;
    m.Kd = 0.8f;
    m.Ks = 0.5f;
    m.pBlend = 0.5f;
    m.pShine = 0.25f;
    apply_material(&m);
    expectMaterial(GL_AMBIENT, 0.25f, 0.125f, 0.5f, 0.5f);
    expectMaterial(GL_DIFFUSE, 0.4f, 0.2f, 0.8f, 0.5f);
    expectMaterial(GL_SPECULAR, 0.5f, 0.25f, 0.0f, 0.4f);
    expectMaterial(GL_EMISSION, 0.1f, 0.0f, 0.2f, 0.3f);
    GLfloat shininess = 0;
    glGetMaterialfv(GL_BACK, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 32.0f);
}

TEST_F(MaterialsGl, LoadingTheSamePathTwiceMakesOneTexture)
{
    std::string path = DATA + "ladrillo.bmp";
    int first = load_texture(path.c_str());
    ASSERT_GT(first, 0);
    EXPECT_TRUE(glIsTexture((GLuint)first));
    EXPECT_EQ(load_texture(path.c_str()), TEXTURE_NOT_LOADED);
    EXPECT_EQ(texture_gl_name(path.c_str()), first);
    EXPECT_EQ(texture_count(), 1);

    // The picture is the bitmap's: 256 x 256, brick red dominating
    int width = 0;
    std::vector<unsigned char> pixels = textureImage((GLuint)first, &width);
    EXPECT_EQ(width, 256);
    long r = 0, b = 0;
    for (size_t i = 0; i < pixels.size(); i += 3) {
        r += pixels[i];
        b += pixels[i + 2];
    }
    EXPECT_GT(r, b);
}

TEST_F(MaterialsGl, TopDownBitmapsGiveTheSameTextureAsBottomUpOnes)
{
    std::string suite = std::string(SW_SOURCE_DIR) + "/tests/data/bmpsuite/g/";
    int bottomUp = load_bitmap_texture((suite + "pal8.bmp").c_str());
    int topDown = load_bitmap_texture((suite + "pal8topdown.bmp").c_str());
    ASSERT_GT(bottomUp, 0);
    ASSERT_GT(topDown, 0);
    EXPECT_NE(bottomUp, topDown);
    EXPECT_EQ(textureImage((GLuint)bottomUp), textureImage((GLuint)topDown));
    GLuint names[2] = {(GLuint)bottomUp, (GLuint)topDown};
    glDeleteTextures(2, names);
}

TEST_F(MaterialsGl, AnAnimatedTextureBindsItsFramesInTurn)
{
    std::vector<std::string> frames = {DATA + "agua1.bmp", DATA + "agua2.bmp", DATA + "agua3.bmp"};
    material_record water = animated(frames, 500);
    ASSERT_EQ(water.texture->multiple, 4);
    std::vector<GLuint> names;
    for (const std::string &frame : frames) names.push_back((GLuint)texture_gl_name(frame.c_str()));

    std::vector<GLuint> bound;
    for (int now : {0, 500, 501, 900, 1002, 1503, 2004, 2505}) {
        fakeNow = now;
        EXPECT_EQ(bind_material_texture(&water), 1);
        bound.push_back(boundTexture());
    }
    EXPECT_EQ(bound, (std::vector<GLuint>{names[0], names[0], names[0], names[0], names[1], names[2], names[0],
                                          names[1]}));
}

TEST_F(MaterialsGl, TwoMeansTheOnlyFrameForever)
{
    material_record single = animated({DATA + "madera.bmp"}, 50);
    ASSERT_EQ(single.texture->multiple, 2);
    GLuint name = (GLuint)texture_gl_name((DATA + "madera.bmp").c_str());
    for (fakeNow = 0; fakeNow < 1000; fakeNow += 37) {
        bind_material_texture(&single);
        EXPECT_EQ(boundTexture(), name) << fakeNow;
    }
}

TEST_F(MaterialsGl, RotatedTexturesRepeatAndStillOnesClamp)
{
    material_record m = animated({DATA + "marmol.bmp"}, 0);
    m.texture->multiple = 0;
    glMatrixMode(GL_TEXTURE);
    bind_material_texture(&m);
    EXPECT_EQ(boundWrap(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(boundWrap(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    for (float *angle : {&m.texture->rotationX, &m.texture->rotationY, &m.texture->rotationZ}) {
        *angle = 15.0f;
        bind_material_texture(&m);
        EXPECT_EQ(boundWrap(GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(boundWrap(GL_TEXTURE_WRAP_T), GL_REPEAT);
        *angle = 0.0f;
    }
    bind_material_texture(&m);
    EXPECT_EQ(boundWrap(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
}

TEST_F(MaterialsGl, AMissingBitmapIsDrawnWithThePlainWhiteTexture)
{
    std::string missing = DATA + "no-such-texture.bmp";
    material_record m;
    m.texturado = 1;
    m.texture = new_texture_block();
    add_frame(m.texture.get(), missing.c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(load_texture(missing.c_str()), TEXTURE_NOT_LOADED);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Error!: " + missing), std::string::npos) << err;

    EXPECT_EQ(bind_material_texture(&m), 0);
    GLuint blank = blank_texture();
    ASSERT_NE(blank, 0u);
    EXPECT_EQ(boundTexture(), blank);
    EXPECT_EQ(textureImage(blank), (std::vector<unsigned char>{255, 255, 255}));

    // An untextured material binds nothing
    glBindTexture(GL_TEXTURE_2D, 0);
    material_record plain;
    EXPECT_EQ(bind_material_texture(&plain), 0);
    EXPECT_EQ(boundTexture(), 0u);
}

TEST_F(MaterialsGl, AllTexturesLoadAndAreReleasedTogether)
{
    std::vector<std::string> paths = {DATA + "cesped.bmp", DATA + "suelo.bmp", DATA + "ladrillo.bmp"};
    for (const std::string &path : paths) add_texture_name(path.c_str());
    EXPECT_EQ(load_all_textures(), 3);
    std::vector<GLuint> names;
    for (const std::string &path : paths) {
        int name = texture_gl_name(path.c_str());
        ASSERT_GT(name, 0) << path;
        names.push_back((GLuint)name);
    }
    EXPECT_EQ(load_all_textures(), 0);  // all loaded already

    delete_all_textures();
    for (size_t i = 0; i < paths.size(); i++) {
        EXPECT_EQ(texture_gl_name(paths[i].c_str()), TEXTURE_NOT_LOADED);
        EXPECT_FALSE(glIsTexture(names[i]));
    }
    // and can be loaded again (a scene load releases, reads, then loads)
    EXPECT_EQ(load_all_textures(), 3);
}
