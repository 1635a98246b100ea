#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Utf8Path.h"
#include "platform/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

namespace quillon::testing {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Makes a folder the working directory for the scope.
class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::filesystem::path& folder) : saved_(GetWorkingDirectory()) {
    SetWorkingDirectory(Utf8Text(folder));
  }
  ~ScopedWorkingDirectory() { SetWorkingDirectory(saved_); }
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

 private:
  std::string saved_;
};

}  // namespace quillon::testing
