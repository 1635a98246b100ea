#include "device/DownloadProgress.h"

#include <cstdio>
#include <system_error>
#include <utility>

namespace quillon {

namespace {

template <typename Visit>
void ForEachFile(const std::filesystem::path& folder, Visit visit) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    std::error_code sizeError;
    if (!entries->is_regular_file(sizeError)) continue;
    std::uintmax_t size = entries->file_size(sizeError);
    if (!sizeError) visit(entries->path(), size);
  }
}

std::string Amount(double bytes) {
  char text[32];
  if (bytes < 1000.0) {
    std::snprintf(text, sizeof text, "%.0f bytes", bytes);
  } else if (bytes < 1e6) {
    std::snprintf(text, sizeof text, "%.1f kB", bytes / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
  }
  return text;
}

}  // namespace

GrowingFileWatch::GrowingFileWatch(std::filesystem::path folder) : folder_(std::move(folder)) {
  ForEachFile(folder_, [this](const std::filesystem::path& path, std::uintmax_t size) { sizesAtStart_[path] = size; });
}

std::uintmax_t GrowingFileWatch::Received() {
  ForEachFile(folder_, [this](const std::filesystem::path& path, std::uintmax_t size) {
    auto before = sizesAtStart_.find(path);
    std::uintmax_t start = before == sizesAtStart_.end() ? 0 : before->second;
    if (size > start && size - start > received_) received_ = size - start;
  });
  return received_;
}

std::string FormatReceived(std::uintmax_t bytes, double seconds) {
  std::string text = "Received " + Amount(static_cast<double>(bytes));
  if (seconds >= 1.0) text += " at " + Amount(static_cast<double>(bytes) / seconds) + "/s";
  return text;
}

}  // namespace quillon
