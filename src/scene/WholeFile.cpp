#include "scene/WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace scene {

namespace {

// A fresh file next to target, created exclusively so nothing is clobbered.
std::FILE* createTemporary(const std::string& target, std::string& tempName) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target + ".tmp" + (attempt ? std::to_string(attempt) : std::string());
        std::FILE* file = std::fopen(tempName.c_str(), "wx");
        if (file || errno != EEXIST) return file;
    }
    return nullptr;
}

}  // namespace

int writeWholeFile(const std::string& fileName, const std::string& text) {
    std::string tempName;
    errno = 0;
    std::FILE* file = createTemporary(fileName, tempName);
    if (!file) return errno ? errno : EIO;
    errno = 0;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = (std::fflush(file) == 0) && ok;
    int error = errno;
    ok = (std::fclose(file) == 0) && ok;
    if (!error) error = errno;
    if (ok && std::rename(tempName.c_str(), fileName.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (ok) return 0;
    std::remove(tempName.c_str());
    return error ? error : EIO;
}

int probeWritable(const std::string& fileName) {
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec)) return EISDIR;
    std::string tempName;
    errno = 0;
    std::FILE* file = createTemporary(fileName, tempName);
    if (!file) return errno ? errno : EIO;
    std::fclose(file);
    std::remove(tempName.c_str());
    return 0;
}

}  // namespace scene
