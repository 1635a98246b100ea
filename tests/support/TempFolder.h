#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace quillon::testing {

// A fresh folder under the system's temporary folder, removed with its content
// at the end (its permissions first given back, should a test have taken them).
class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "quillon-test-") {
    std::random_device random;
    std::error_code error;
    do {
      path_ = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_, error) && !error);
    if (error) throw std::filesystem::filesystem_error("cannot make a temporary folder", path_, error);
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, error);
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs a test inside a fresh empty folder: the device library writes and the
// tool reads relative to the working directory. The previous working directory
// comes back, and the folder goes, at the end.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(folder_.Path()); }
  ~TempWorkingDirectory() {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
  }
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;

  const std::filesystem::path& Path() const { return folder_.Path(); }

 private:
  std::filesystem::path previous_;
  TempFolder folder_;
};

}  // namespace quillon::testing
