#include "orvex/RawLogFile.h"

#include <filesystem>
#include <system_error>

#include "api/DeviceCodes.h"
#include "orvex/NarrowPath.h"

namespace quillon::orvex {

RawLogFile::~RawLogFile() {
  if (!committed_) Discard();
}

int RawLogFile::PrepareTarget(const std::string& fileName) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path = NarrowPath(fileName);
  if (fileName.empty() || !path.has_filename()) return code::kCantBuildDumpFile;
  if (fs::exists(fs::symlink_status(path, error))) return code::kCantBuildDumpFile;

  const fs::path folder = path.parent_path();
  if (!folder.empty()) {
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) return code::kCantBuildStorDbFile;
  }
  finalName_ = fileName;
  return 0;
}

}  // namespace quillon::orvex
