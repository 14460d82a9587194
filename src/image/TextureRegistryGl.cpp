#include "image/TextureRegistryGl.h"

#include <GL/gl.h>

#include <cstring>

#ifndef GL_COMPRESSED_RGB_S3TC_DXT1_EXT
#define GL_COMPRESSED_RGB_S3TC_DXT1_EXT 0x83F0
#endif
#ifndef GL_COMPRESSED_RGBA_S3TC_DXT5_EXT
#define GL_COMPRESSED_RGBA_S3TC_DXT5_EXT 0x83F3
#endif
#ifndef GL_TEXTURE_COMPRESSED_IMAGE_SIZE
#define GL_TEXTURE_COMPRESSED_IMAGE_SIZE 0x86A0
#endif

namespace image {

namespace {

bool hasS3tc() {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr) return false;
    // Match whole words only.
    const char* name = "GL_EXT_texture_compression_s3tc";
    const std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(extensions, name); p != nullptr; p = std::strstr(p + 1, name)) {
        const bool startsWord = p == extensions || p[-1] == ' ';
        const bool endsWord = p[length] == ' ' || p[length] == '\0';
        if (startsWord && endsWord) return true;
    }
    return false;
}

int maxTextureSize() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

}  // namespace

unsigned uploadTexture(PixelFormat format, const Image& image, bool compress, int* byteSize) {
    GLenum glFormat = GL_RGB;
    GLenum compressedFormat = GL_COMPRESSED_RGB_S3TC_DXT1_EXT;
    switch (format) {
    case PixelFormat::Alpha: glFormat = GL_ALPHA; compressedFormat = GL_ALPHA; break;
    case PixelFormat::Rgb: glFormat = GL_RGB; compressedFormat = GL_COMPRESSED_RGB_S3TC_DXT1_EXT; break;
    case PixelFormat::Rgba: glFormat = GL_RGBA; compressedFormat = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT; break;
    }
    const bool compressed = compress && hasS3tc();

    GLuint name = 0;
    glGenTextures(1, &name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows arrive tightly packed
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    const GLint internalFormat = static_cast<GLint>(compressed ? compressedFormat : glFormat);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, image.width, image.height, 0, glFormat, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    // Only a really compressed image has a compressed size to ask for.
    if (compressed && byteSize != nullptr && format != PixelFormat::Alpha) {
        GLint size = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE, &size);
        *byteSize = size;
    }
    return name;
}

TextureRegistry makeGlTextureRegistry() { return TextureRegistry(&uploadTexture, &maxTextureSize); }

}  // namespace image
