#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace quillon {

// What a download has written so far, seen from outside the library: the
// library writes the raw log as it receives it, under a name of its own
// (ours a hidden ".NAME.part"), into the folder of the log. The file that
// grew most since the watch began is taken to be it.
class GrowingFileWatch {
 public:
  explicit GrowingFileWatch(std::filesystem::path folder);

  // Bytes the growing file has gained since the watch began; never less
  // than an earlier answer, so a file renamed at the end does not count as
  // a step back.
  std::uintmax_t Received();

 private:
  std::filesystem::path folder_;
  std::map<std::filesystem::path, std::uintmax_t> sizesAtStart_;
  std::uintmax_t received_ = 0;
};

// "Received 2.3 MB at 6.4 kB/s" (decimal units; no rate before the first
// second).
std::string FormatReceived(std::uintmax_t bytes, double seconds);

}  // namespace quillon
