// Writes the ball texture: a 24-bit bottom-up BMP (40-byte info header) with
// a checker of bold colours on light steel grey, so a rolling ball's spin is
// plain to see. Usage: texgen OUTFILE
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "image/BmpReader.h"

namespace {

constexpr int WIDTH = 256;   // around the ball (longitude); power of two
constexpr int HEIGHT = 128;  // pole to pole (latitude); power of two
constexpr int CHECKER_COLUMNS = 8;
constexpr int CHECKER_ROWS = 4;
constexpr int LINE_WIDTH = 2;  // pixels of dark seam around each square

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr Rgb STEEL_GREY{192, 198, 206};
constexpr Rgb SEAM{50, 54, 64};
constexpr Rgb BOLD[] = {{215, 30, 35}, {30, 70, 215}, {245, 160, 20}, {30, 165, 70}};

Rgb texel(int x, int y) {
    const int cellW = WIDTH / CHECKER_COLUMNS;
    const int cellH = HEIGHT / CHECKER_ROWS;
    const int column = x / cellW;
    const int row = y / cellH;
    if (x % cellW < LINE_WIDTH || y % cellH < LINE_WIDTH) return SEAM;
    if ((column + row) % 2 == 0) return STEEL_GREY;
    // Each coloured square differs from its neighbours along the equator, so
    // the direction of the spin shows too.
    return BOLD[(column / 2 + row) % 4];
}

void put16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xff));
    s.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

std::string makeBmp() {
    const std::uint32_t rowBytes = WIDTH * 3;
    const std::uint32_t stride = (rowBytes + 3) & ~3u;
    const std::uint32_t dataBytes = stride * HEIGHT;
    const std::uint32_t headerBytes = 14 + 40;
    std::string s;
    s += "BM";
    put32(s, headerBytes + dataBytes);  // file size
    put32(s, 0);                        // reserved
    put32(s, headerBytes);              // pixel data offset
    put32(s, 40);                       // info header size
    put32(s, WIDTH);
    put32(s, HEIGHT);  // positive: bottom row first
    put16(s, 1);       // planes
    put16(s, 24);      // bits per pixel
    put32(s, 0);       // no compression
    put32(s, dataBytes);
    put32(s, 2835);  // 72 dpi in pixels per metre
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            const Rgb c = texel(x, y);
            s.push_back(static_cast<char>(c.b));
            s.push_back(static_cast<char>(c.g));
            s.push_back(static_cast<char>(c.r));
        }
        s.append(stride - rowBytes, '\0');
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: texgen OUTFILE\n";
        return 2;
    }
    const std::string fileName = argv[1];
    {
        std::ofstream out(fileName, std::ios::binary);
        const std::string bmp = makeBmp();
        out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
        if (!out) {
            std::cerr << "cannot write " << fileName << "\n";
            return 1;
        }
    }
    // The program reads it with its own reader, so check it does.
    image::Image check;
    std::ostringstream log;
    if (!image::readBmp(fileName, check, log) || check.width != WIDTH || check.height != HEIGHT ||
        check.components != 3) {
        std::cerr << "written file does not read back: " << log.str();
        return 1;
    }
    std::cout << "wrote " << fileName << " (" << WIDTH << " x " << HEIGHT << ", 24 bit)\n";
    return 0;
}
