// Writing a file whole or not at all, for the scene files and the run
// reports: the text goes into a fresh file beside the target that is renamed
// over it once complete, so a failure leaves an existing target as it was
// and no half-written file behind.
#pragma once

#include <string>

namespace scene {

// Returns 0, or the errno value of what failed.
int writeWholeFile(const std::string& fileName, const std::string& text);

// Whether writeWholeFile could write fileName, found out by creating and
// removing its temporary file: 0, or the errno value (EISDIR for a folder).
int probeWritable(const std::string& fileName);

}  // namespace scene
