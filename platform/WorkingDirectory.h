#pragma once

#include <string>

namespace quillon {

// The process's working directory, of any length. Returns an empty text when
// it cannot be read (for example when it has been removed).
std::string GetWorkingDirectory();

// Makes path the working directory; false when that fails.
bool SetWorkingDirectory(const std::string& path);

// Creates one folder; false when it could not be made, including when it
// exists already.
bool CreateFolder(const std::string& path);

}  // namespace quillon
