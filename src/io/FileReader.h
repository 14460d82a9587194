// Reading a whole file into memory for the readers, which then parse or
// decode from the buffer.
#pragma once

#include <cstddef>
#include <string>

#include "io/Result.h"

namespace io {

// No file the program reads comes near this; a bigger one is refused rather
// than read into memory.
constexpr std::size_t MAX_FILE_BYTES = std::size_t{64} << 20;

// The file's bytes. Refused before anything is read: what is not a regular
// file (a folder, a device such as /dev/zero, a FIFO, which is opened
// without blocking) and a file larger than limit; the error's message names
// the file, e.g. "\"NAME\" is not a regular file". Failure::CannotOpen when
// the file cannot be opened at all.
Result<std::string> readFile(const std::string& path, std::size_t limit = MAX_FILE_BYTES);

}  // namespace io
