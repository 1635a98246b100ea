#include "orvex/RawLogFile.h"

#include <windows.h>

#include <filesystem>
#include <random>

#include "api/DeviceCodes.h"
#include "orvex/NarrowPath.h"

namespace quillon::orvex {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 100;

HANDLE AsHandle(void* file) { return static_cast<HANDLE>(file); }

}  // namespace

int RawLogFile::Begin(const std::string& fileName) {
  if (const int result = PrepareTarget(fileName); result != 0) return result;
  const fs::path path = NarrowPath(fileName);
  const fs::path folder = path.parent_path();
  // A new name each time, created only if nothing holds it yet, so that no
  // file or link planted there is ever opened.
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const fs::path temporary =
        folder / NarrowPath("." + NarrowText(path.filename()) + "." + std::to_string(random()) + ".part");
    HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      file_ = file;
      temporaryName_ = NarrowText(temporary);
      return 0;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return code::kCantBuildOutputFile;
}

int RawLogFile::Append(std::string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    if (!::WriteFile(AsHandle(file_), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written == 0) {
      return code::kCantOpenDumpFile;
    }
    text.remove_prefix(written);
  }
  return 0;
}

int RawLogFile::Commit() {
  const bool flushed = ::FlushFileBuffers(AsHandle(file_)) != 0;
  const bool closed = ::CloseHandle(AsHandle(file_)) != 0;
  file_ = nullptr;
  if (!flushed || !closed) return code::kCantOpenStorDbFile;
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken,
  // so an existing log is never overwritten.
  if (!::MoveFileExW(NarrowPath(temporaryName_).c_str(), NarrowPath(finalName_).c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD failure = ::GetLastError();
    return failure == ERROR_ALREADY_EXISTS || failure == ERROR_FILE_EXISTS ? code::kCantBuildDumpFile
                                                                           : code::kCantOpenOutputFile;
  }
  committed_ = true;
  return 0;
}

void RawLogFile::Discard() {
  if (file_ != nullptr) ::CloseHandle(AsHandle(file_));
  file_ = nullptr;
  if (!temporaryName_.empty()) ::DeleteFileW(NarrowPath(temporaryName_).c_str());
}

}  // namespace quillon::orvex
