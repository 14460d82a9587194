#include "image/TextureRegistry.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <fstream>
#include <utility>

#include "image/BmpReader.h"
#include "image/TgaReader.h"

namespace image {

ImageKind imageKindOf(const std::string& fileName) {
    if (fileName.size() < 3) return ImageKind::Unsupported;
    std::string ending = fileName.substr(fileName.size() - 3);
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Only the three letters count; the dot before them is not checked.
    if (ending == "bmp") return ImageKind::Bmp;
    if (ending == "tga") return ImageKind::Tga;
    return ImageKind::Unsupported;
}

namespace {

// The bitmap reader fails silently both for a file it cannot open and for
// one that is no bitmap; only the second deserves a word, as it is easily
// another format renamed.
bool opensButIsNoBitmap(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    char signature[2] = {};
    in.read(signature, 2);
    return in.gcount() < 2 || signature[0] != 'B' || signature[1] != 'M';
}

}  // namespace

TextureRegistry::TextureRegistry(Uploader upload, SizeLimit maxTextureSize)
    : upload_(std::move(upload)), maxTextureSize_(std::move(maxTextureSize)) {}

unsigned TextureRegistry::loadTexture(const std::string& fileName, bool compress, std::ostream& out,
                                      std::ostream& err) {
    auto found = entries_.find(fileName);
    if (found != entries_.end()) {
        ++found->second.useCount;
        return found->second.texture;
    }

    Image image;
    switch (imageKindOf(fileName)) {
    case ImageKind::Bmp:
        if (!readBmp(fileName, image, out)) {
            if (opensButIsNoBitmap(fileName))
                out << "[ERROR] The file " << fileName << " is not a bitmap: it does not start with \"BM\"\n";
            return 0;
        }
        break;
    case ImageKind::Tga:
        if (!readTga(fileName, image, out)) return 0;
        break;
    case ImageKind::Unsupported:
        err << "Unsupported image format\n";
        return 0;
    }

    PixelFormat format;
    switch (image.components) {
    case 1: format = PixelFormat::Alpha; break;
    case 3: format = PixelFormat::Rgb; break;
    case 4: format = PixelFormat::Rgba; break;
    default:
        // 16-bit TGA pixels arrive as 2 components, which have no format here.
        out << "[ERROR] The file " << fileName << " has " << image.components
            << " bytes per pixel, which cannot be used as a texture\n";
        return 0;
    }

    // GL would refuse the upload without a word and leave the texture empty.
    const int maxSide = maxTextureSize_ ? maxTextureSize_() : 0;
    if (maxSide > 0 && (image.width > maxSide || image.height > maxSide)) {
        out << "[ERROR] The file " << fileName << " is " << image.width << " x " << image.height
            << " pixels; the graphics driver takes textures of at most " << maxSide << " pixels a side\n";
        return 0;
    }

    const std::int64_t plainSize =
        static_cast<std::int64_t>(image.components) * image.width * image.height;
    int byteSize = plainSize > INT_MAX ? INT_MAX : static_cast<int>(plainSize);
    const unsigned texture = upload_ ? upload_(format, image, compress, &byteSize) : 0;
    if (texture == 0) return 0;
    entries_[fileName] = TextureEntry{texture, 1, byteSize};
    return texture;
}

const TextureEntry* TextureRegistry::entry(const std::string& fileName) const {
    auto found = entries_.find(fileName);
    return found == entries_.end() ? nullptr : &found->second;
}

}  // namespace image
