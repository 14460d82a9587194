// The GL uploader against a real context (run under Xvfb).
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstring>
#include <sstream>
#include <string>

#include "image/ImageFiles.h"
#include "image/TextureRegistryGl.h"
#include "support/TestSupport.h"

#ifndef GL_COMPRESSED_RGB_S3TC_DXT1_EXT
#define GL_COMPRESSED_RGB_S3TC_DXT1_EXT 0x83F0
#endif
#ifndef GL_TEXTURE_COMPRESSED_IMAGE_SIZE
#define GL_TEXTURE_COMPRESSED_IMAGE_SIZE 0x86A0
#endif

using imagetest::Bytes;

namespace {

class GlContext : public ::testing::Environment {
public:
    void SetUp() override {
        int argc = 1;
        char name[] = "testgl_image";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(64, 64);
        glutCreateWindow("testgl_image");
    }
};

const auto* const glEnvironment = ::testing::AddGlobalTestEnvironment(new GlContext);

bool hasS3tc() {
    const char* e = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return e != nullptr && std::strstr(e, "GL_EXT_texture_compression_s3tc") != nullptr;
}

GLint param(GLenum name) {
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
    return v;
}

GLint levelParam(GLenum name) {
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &v);
    return v;
}

}  // namespace

TEST(TextureRegistryGl, ThreeWideRgbUploadsWithoutRowSkew) {
    image::Image im;
    im.width = 3;
    im.height = 2;
    im.components = 3;
    for (int i = 0; i < 18; ++i) im.pixels.push_back(static_cast<std::uint8_t>(10 * i));
    int byteSize = 18;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const unsigned name = image::uploadTexture(image::PixelFormat::Rgb, im, false, &byteSize);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(byteSize, 18);
    GLint bound = 0, alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(static_cast<unsigned>(bound), name);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(param(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(param(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(param(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(param(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(levelParam(GL_TEXTURE_WIDTH), 3);

    Bytes back(18);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, im.pixels);
}

TEST(TextureRegistryGl, CompressionUsesDxt1WhenTheContextHasIt) {
    image::Image im;
    im.width = 8;
    im.height = 8;
    im.components = 3;
    im.pixels.assign(8 * 8 * 3, 200);
    int byteSize = 8 * 8 * 3;
    image::uploadTexture(image::PixelFormat::Rgb, im, true, &byteSize);
    RecordProperty("s3tc", hasS3tc() ? "yes" : "no");
    if (hasS3tc()) {
        EXPECT_EQ(levelParam(GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGB_S3TC_DXT1_EXT);
        EXPECT_EQ(byteSize, levelParam(GL_TEXTURE_COMPRESSED_IMAGE_SIZE));
        EXPECT_EQ(byteSize, 32);  // 4 blocks of 4 x 4 texels, 8 bytes each
    } else {
        // Fallback: uncompressed, size left as components x width x height.
        EXPECT_EQ(byteSize, 8 * 8 * 3);
        EXPECT_NE(levelParam(GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGB_S3TC_DXT1_EXT);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureRegistryGl, LoadsTheShippedBallTextureOnce) {
    image::TextureRegistry registry = image::makeGlTextureRegistry();
    const std::string file = testsupport::dataDir() + "/some01.bmp";
    std::ostringstream out, err;
    const unsigned name = registry.loadTexture(file, true, out, err);
    ASSERT_NE(name, 0u) << out.str() << err.str();
    EXPECT_EQ(registry.loadTexture(file, true, out, err), name);
    EXPECT_EQ(registry.entry(file)->useCount, 2);
    EXPECT_GT(registry.entry(file)->byteSize, 0);
    EXPECT_EQ(out.str() + err.str(), "");
}

TEST(TextureRegistryGl, ImagesBeyondTheDriversLimitAreRefusedByName) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    ASSERT_GT(limit, 0);
    testsupport::TempDir dir;
    const int width = limit + 1;
    dir.write("wide.bmp", imagetest::asString(imagetest::bmpFile(width, 1, 8, Bytes((width + 3) / 4 * 4, 0),
                                                                 imagetest::greyPalette())));
    image::TextureRegistry registry = image::makeGlTextureRegistry();
    std::ostringstream out, err;
    EXPECT_EQ(registry.loadTexture(dir.file("wide.bmp"), false, out, err), 0u);
    EXPECT_EQ(out.str(), "[ERROR] The file " + dir.file("wide.bmp") + " is " + std::to_string(width) +
                             " x 1 pixels; the graphics driver takes textures of at most " + std::to_string(limit) +
                             " pixels a side\n");
}
