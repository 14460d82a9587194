// Replacing a file's content without ever leaving it half written: the new
// content goes to a temporary file in the same folder, which is renamed over
// the target only once it is complete.
#pragma once

#include <string>

namespace io {

// Writes content to path. A symbolic link is followed (its target is
// replaced, the link stays); an existing target keeps its permission bits; a
// target that exists but is not a regular file (device, FIFO, folder) is
// refused and never replaced. Where the folder allows no temporary file but
// the target itself is writable, it is rewritten in place, once the new
// content is known to fit (file-size limit, free blocks). Any failure,
// including a file-size limit or a full disk, leaves the target as it was
// and no temporary file behind, and returns false with the reason in error;
// the process is never killed by it.
bool writeFileReplacing(const std::string& path, const std::string& content, std::string& error);

// Whether writeFileReplacing could write path, found out without changing
// anything that is there: false with the reason in error.
bool probeWritable(const std::string& path, std::string& error);

}  // namespace io
