// Materials and textures read back from a real GL context: the colours a material sends,
// loading and releasing bitmaps (one texture per file whatever the spelling of its path, and
// none for a path outside the scene), top-down ones, the frame an animated texture binds at a
// given time and the wrap rule.
#include "frame_pacing.h"
#include "gl_context.h"
#include "materials.h"
#include "textures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// NOTE: texture names are relative to the scene directory, the working directory of the tests
const std::string DATA = "Data/";
int fakeNow = 0;
int fakeClock() { return fakeNow; }

// One material colour as GL holds it on both sides
void expectMaterial(GLenum parameter, std::vector<float> rgba)
{
    for (GLenum side : {GL_FRONT, GL_BACK}) {
        std::vector<float> v(4, -1.0f);  // shininess is a single value
        glGetMaterialfv(side, parameter, v.data());
        for (int i = 0; i < 4; i++) EXPECT_NEAR(v[i], rgba[i], 1e-6) << parameter << " " << i;
    }
}

GLint boundInteger(GLenum what)
{
    GLint value = 0;
    if (what == GL_TEXTURE_WRAP_S) glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
    else glGetIntegerv(what, &value);
    return value;
}

// Level 0 of a texture as RGB bytes
std::vector<unsigned char> textureImage(GLuint name)
{
    glBindTexture(GL_TEXTURE_2D, name);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<unsigned char> pixels((size_t)w * (size_t)h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

class MaterialsGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        ASSERT_EQ(chdir(SW_RUNDATA_DIR), 0);
    }
    void SetUp() override
    {
        create_material_table();
        create_texture_table();
        setElapsedTimeSource(fakeClock);
    }
    void TearDown() override
    {
        delete_all_textures();
        clear_texture_table();
        clear_material_table();
        setElapsedTimeSource(nullptr);
    }
    // A material cycling through the given bitmaps, all loaded (multiple = frames + 1)
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

TEST_F(MaterialsGl, TheDefaultMaterialSendsItsFiveValuesAndBlendHalvesEveryAlpha)
{
    add_default_material();
    apply_material(find_material("(default)"));
    expectMaterial(GL_AMBIENT, {1, 1, 1, 1});
    expectMaterial(GL_DIFFUSE, {0.9f, 0.9f, 0.9f, 1});
    expectMaterial(GL_SPECULAR, {0.1f, 0.1f, 0.1f, 1});
    expectMaterial(GL_EMISSION, {0, 0, 0, 1});
    expectMaterial(GL_SHININESS, {64.0f, -1, -1, -1});

    material_record m;  // the weights scale the colours, blend 0.5 halves every alpha
    m.pLuzDif = {0.5f, 0.25f, 1.0f, 1.0f};
    m.pLuzEmi = {0.2f, 0.0f, 0.4f, 0.6f};
    m.Ka = m.pBlend = 0.5f;
    m.Kd = 0.8f;
    apply_material(&m);
    expectMaterial(GL_AMBIENT, {0.25f, 0.125f, 0.5f, 0.5f});
    expectMaterial(GL_DIFFUSE, {0.4f, 0.2f, 0.8f, 0.5f});
    expectMaterial(GL_EMISSION, {0.1f, 0.0f, 0.2f, 0.3f});
    apply_material(nullptr);  // the defaults again
    expectMaterial(GL_DIFFUSE, {0.9f, 0.9f, 0.9f, 1});
}

TEST_F(MaterialsGl, BitmapsLoadOnceAreReleasedTogetherAndTopDownOnesMatchBottomUpOnes)
{
    const std::string brick = DATA + "ladrillo.bmp", suite = std::string(SW_SOURCE_DIR) + "/tests/data/bmpsuite/g/";
    add_texture_name(brick.c_str());
    EXPECT_EQ(load_all_textures(), 1);
    EXPECT_EQ(load_texture(brick.c_str()), TEXTURE_NOT_LOADED);  // loaded already
    const GLuint name = (GLuint)texture_gl_name(brick.c_str());
    ASSERT_TRUE(glIsTexture(name));
    delete_all_textures();
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(load_all_textures(), 1);  // and it loads again, as a scene load does

    GLuint names[2] = {(GLuint)load_bitmap_texture((suite + "pal8.bmp").c_str()),
                       (GLuint)load_bitmap_texture((suite + "pal8topdown.bmp").c_str())};
    EXPECT_FALSE(textureImage(names[0]).empty());
    EXPECT_EQ(textureImage(names[0]), textureImage(names[1]));
}

TEST_F(MaterialsGl, EverySpellingOfABitmapSharesOneTextureAndPathsOutsideAreRefused)
{
    const std::vector<std::string> spellings = {"Data/ladrillo.bmp", "./Data/ladrillo.bmp", "Data//ladrillo.bmp",
                                                "Data/../Data/ladrillo.bmp", "./Data/./ladrillo.bmp"};
    for (const std::string &name : spellings) add_texture_name(name.c_str());
    add_texture_name("Data/madera.bmp");
    EXPECT_EQ(load_all_textures(), 6);
    const GLint shared = texture_gl_name("Data/ladrillo.bmp");
    for (const std::string &name : spellings) EXPECT_EQ(texture_gl_name(name.c_str()), shared) << name;
    EXPECT_NE(texture_gl_name("Data/madera.bmp"), shared);

    // the texture goes with the last entry that uses it
    for (size_t i = 0; i + 1 < spellings.size(); i++) remove_texture_name(spellings[i].c_str());
    EXPECT_TRUE(glIsTexture((GLuint)shared));
    remove_texture_name(spellings.back().c_str());
    EXPECT_FALSE(glIsTexture((GLuint)shared));
    EXPECT_TRUE(glIsTexture((GLuint)texture_gl_name("Data/madera.bmp")));

    const std::string absolute = std::string(SW_RUNDATA_DIR) + "/Data/madera.bmp";
    for (const std::string &name : {absolute, std::string("../rundata/Data/madera.bmp")}) {
        add_texture_name(name.c_str());
        testing::internal::CaptureStderr();
        EXPECT_EQ(load_texture(name.c_str()), TEXTURE_NOT_LOADED) << name;
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(errors.rfind("Error!: " + name + ": ", 0), 0u) << errors;
        EXPECT_EQ(texture_gl_name(name.c_str()), TEXTURE_NOT_LOADED);
    }
}

TEST_F(MaterialsGl, AnimatedTexturesBindTheirFramesInTurnAndTwoMeansTheOnlyFrame)
{
    std::vector<std::string> frames = {DATA + "agua1.bmp", DATA + "agua2.bmp", DATA + "agua3.bmp"};
    material_record water = animated(frames, 500);
    ASSERT_EQ(water.texture->multiple, 4);
    std::vector<GLint> names, bound;
    for (const std::string &frame : frames) names.push_back(texture_gl_name(frame.c_str()));
    for (int now : {0, 500, 501, 900, 1002, 1503, 2004, 2505}) {
        fakeNow = now;
        EXPECT_EQ(bind_material_texture(&water), 1);
        bound.push_back(boundInteger(GL_TEXTURE_BINDING_2D));
    }
    EXPECT_EQ(bound, (std::vector<GLint>{names[0], names[0], names[0], names[0], names[1], names[2], names[0], names[1]}));

    material_record single = animated({DATA + "madera.bmp"}, 50);
    ASSERT_EQ(single.texture->multiple, 2);
    for (fakeNow = 0; fakeNow < 1000; fakeNow += 37) {
        bind_material_texture(&single);
        EXPECT_EQ(boundInteger(GL_TEXTURE_BINDING_2D), texture_gl_name((DATA + "madera.bmp").c_str())) << fakeNow;
    }
}

TEST_F(MaterialsGl, RotatedTexturesRepeatAndStillOnesClamp)
{
    material_record m = animated({DATA + "marmol.bmp"}, 0);
    m.texture->multiple = 0;
    glMatrixMode(GL_TEXTURE);
    bind_material_texture(&m);
    EXPECT_EQ(boundInteger(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(boundInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    for (float *angle : {&m.texture->rotationX, &m.texture->rotationY, &m.texture->rotationZ}) {
        *angle = 15.0f;
        bind_material_texture(&m);
        EXPECT_EQ(boundInteger(GL_TEXTURE_WRAP_S), GL_REPEAT);
        *angle = 0.0f;
    }
}
