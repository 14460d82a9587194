#include "image/PngWriter.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <png.h>

#include "io/FileWrite.h"

namespace image {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void noFlush(png_structp) {}

}  // namespace

bool writePng(const std::string& file, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& error) {
    const std::string encoded = encodePng(width, height, rgb, error);
    return !encoded.empty() && io::writeFileReplacing(file, encoded, error);
}

std::string encodePng(int width, int height, const std::vector<std::uint8_t>& rgb, std::string& error) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3) {
        error = "the picture's size does not match its pixels";
        return "";
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        error = "out of memory";
        return "";
    }
    std::string encoded;
    // libpng reports its errors by longjmp; nothing here needs unwinding.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "the PNG encoder failed";
        return "";
    }
    png_set_write_fn(png, &encoded, appendBytes, noFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<std::size_t>(y) * width * 3));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return encoded;
}

std::string freePictureName(const std::string& folder, const std::string& prefix) {
    for (int n = 0; n < 1000; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "-%03d.png", n);
        const std::filesystem::path path = std::filesystem::path(folder) / (prefix + name);
        std::error_code ec;
        if (!std::filesystem::exists(path, ec) && !ec) return path.string();
    }
    return "";
}

}  // namespace image
