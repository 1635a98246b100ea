#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "core/AppState.h"
#include "logdata/RawLogLoader.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon::testing {

inline std::filesystem::path DataFile(const std::string& name) {
  return std::filesystem::path(QUILLON_TEST_DATA_DIR) / name;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteFile(const std::filesystem::path& path, std::string_view content) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

// Lines joined with CR LF, each one terminated.
inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (auto line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

// Parses `text` as if it had just been loaded.
inline void ParseText(AppState& state, std::string text) {
  state.rawLogText = MakeSharedText(std::move(text));
  ParseRawLog(state);
}

}  // namespace quillon::testing
