#include "image/ImageFile.h"

#include "io/FileReader.h"

namespace image {

io::Result<std::string> readImageFile(const std::string& fileName, std::ostream& log) {
    io::Result<std::string> file = io::readFile(fileName);
    if (!file && file.error().failure != io::Failure::CannotOpen) log << "[ERROR] " << file.error().message() << "\n";
    return file;
}

}  // namespace image
