// The texture registry's GL side. Include from anywhere; only the .cpp
// talks to GL. Call with the target GL context current.
#pragma once

#include "image/Image.h"
#include "image/TextureRegistry.h"

namespace image {

// Creates and binds a 2-D texture: unpack alignment 1, wrap REPEAT, LINEAR
// filters, no mipmaps. With `compress`, RGB and RGBA go to S3TC DXT1 and
// DXT5 (alpha stays uncompressed) and *byteSize becomes the compressed size
// GL reports; when the context lacks GL_EXT_texture_compression_s3tc (e.g.
// some software renderers) the texture is uploaded uncompressed instead and
// *byteSize is left as given. Returns the texture name.
unsigned uploadTexture(PixelFormat format, const Image& image, bool compress, int* byteSize);

// A registry that uploads through uploadTexture and refuses images larger
// than the current context's GL_MAX_TEXTURE_SIZE.
TextureRegistry makeGlTextureRegistry();

}  // namespace image
