#include "klotz/TextInput.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace klotz {

bool readTextFile(const std::string& path, std::string& text) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    text = buffer.str();
    return true;
}

}  // namespace klotz
