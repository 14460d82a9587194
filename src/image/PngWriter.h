// PNG files of pictures and screenshots, through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace image {

// rgb: width * height pixels of 3 bytes, the top row first. The file is
// replaced only once completely written; on failure error says why.
bool writePng(const std::string& file, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& error);

// The same as the bytes of a PNG file; empty on failure, error saying why.
std::string encodePng(int width, int height, const std::vector<std::uint8_t>& rgb, std::string& error);

// The first "prefix-NNN.png" (NNN from 000) in folder that does not exist
// yet; empty when all thousand are taken.
std::string freePictureName(const std::string& folder, const std::string& prefix);

}  // namespace image
