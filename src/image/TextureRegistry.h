// The program's textures, one per image file name: reads the file with the
// reader its ending selects and hands the pixels to an uploader (the GL one
// in TextureRegistryGl.h, a fake in tests).
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "image/Image.h"

namespace image {

// Pixel layout handed to the uploader: 1, 3 or 4 components.
enum class PixelFormat { Alpha, Rgb, Rgba };

struct TextureEntry {
    unsigned texture = 0;  // GL texture name
    int useCount = 0;      // loadTexture calls that returned this entry
    int byteSize = 0;      // compressed size as GL reports it, else components x width x height
};

class TextureRegistry {
public:
    // Uploads `image` and returns the texture name (0: nothing uploaded).
    // `byteSize` arrives as components x width x height; an uploader that
    // really compressed replaces it by the compressed size.
    using Uploader = std::function<unsigned(PixelFormat format, const Image& image, bool compress, int* byteSize)>;

    // The largest width and height the uploader takes, in pixels (GL's
    // GL_MAX_TEXTURE_SIZE); an empty function means no limit.
    using SizeLimit = std::function<int()>;

    explicit TextureRegistry(Uploader upload, SizeLimit maxTextureSize = {});

    // The texture of `fileName` (compared exactly), reading and uploading it
    // on the first call only. 0 when the file cannot be read or used. Reader
    // messages go to `out`, and so does one line naming the file when a
    // ".bmp" file does not start with "BM" or an image exceeds the size
    // limit; a file that cannot be opened stays silent. "Unsupported image
    // format\n" goes to `err`.
    unsigned loadTexture(const std::string& fileName, bool compress, std::ostream& out, std::ostream& err);

    // The entry of a loaded name, or null.
    const TextureEntry* entry(const std::string& fileName) const;
    std::size_t size() const { return entries_.size(); }

private:
    Uploader upload_;
    SizeLimit maxTextureSize_;
    std::map<std::string, TextureEntry> entries_;
};

// Which reader a file name selects: its last three characters, ignoring case.
enum class ImageKind { Unsupported, Bmp, Tga };
ImageKind imageKindOf(const std::string& fileName);

}  // namespace image
