#include "klotz/TextInput.h"

#include <filesystem>
#include <fstream>

namespace klotz {

bool readTextFile(const std::string& path, std::string& text) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // Storage sized once and filled in large blocks: a cache of a 50,000
    // triangle mesh is about 15 MB.
    text.clear();
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec) text.reserve(static_cast<std::size_t>(size));
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) text.append(block, static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

}  // namespace klotz
