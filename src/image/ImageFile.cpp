#include "image/ImageFile.h"

#include <fstream>
#include <iterator>

namespace image {

bool readFileBytes(const std::string& fileName, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        bytes.clear();
        return false;
    }
    return true;
}

}  // namespace image
