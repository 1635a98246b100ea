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

namespace quillon::testing {

// Runs a test in a fresh empty working directory and returns to the previous
// one (removing the temporary one) at the end.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-logdata-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ~TempWorkingDirectory() {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
    std::filesystem::remove_all(path_, error);
  }
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Sets TZ for the scope of a test and puts the previous value back.
class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZoneScope() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  TimeZoneScope(const TimeZoneScope&) = delete;
  TimeZoneScope& operator=(const TimeZoneScope&) = delete;

 private:
  std::optional<std::string> previous_;
};

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
  state.rawLogText = std::make_shared<const std::string>(std::move(text));
  ParseRawLog(state);
}

}  // namespace quillon::testing
