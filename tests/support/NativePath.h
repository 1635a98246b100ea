#pragma once

#include <algorithm>
#include <string>

#include "platform/PathConventions.h"

namespace quillon::testing {

// A relative path written with '/' in the separator the tool writes on this
// system ("Rawdata\\x.txt" on Windows).
inline std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '/', kPathSeparator);
  return path;
}

}  // namespace quillon::testing
