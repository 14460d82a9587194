#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tumbalon-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& content) const { writeFile(file(name), content); }
std::string TempDir::read(const std::string& name) const { return readFile(file(name)); }

ScopedChdir::ScopedChdir(const std::string& dir) : previous_(fs::current_path().string()) { fs::current_path(dir); }
ScopedChdir::~ScopedChdir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
}

static std::string envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string(fallback);
}

std::string dataDir() { return envOr("TUMBALON_DATA", "data"); }
std::string testDataDir() { return envOr("TUMBALON_TESTDATA", "tests"); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

}  // namespace testsupport
