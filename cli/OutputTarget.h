#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace quillon {

// Writes quillon-convert's output to the path given with -o, or to the
// default name. A regular file is replaced only when it was written
// completely. A device or a pipe (a FIFO) is written as it is, since renaming
// a file over it would replace it rather than write to it; a name for a
// descriptor the process holds (/dev/stdout, /dev/fd/1) is appended to where
// that descriptor stands. A folder cannot take the output.
bool WriteOutput(const std::string& path, const std::function<void(std::ostream&)>& render);

}  // namespace quillon
