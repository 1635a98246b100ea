#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace quillon::bench {

// A full logger memory: this many GGA/RMC pairs with tag fields make about
// 37 MB of raw log.
inline constexpr std::size_t kFullMemoryPairs = 250000;

// The Raw Log File name the generated log is stored under.
inline constexpr const char* kGeneratedLogName = "20080312064506_Rawdata_1234567.txt";

// Writes a raw log of `pairs` fixes as the logger's dump writes them: tag
// field, GGA and RMC sentences with correct checksums, CR LF line ends, one
// fix a second from 2008-03-12 06:45:06 UTC on a slowly moving track, tags
// in blocks of a thousand fixes alternating with untagged ones. Returns the
// number of bytes written.
std::uintmax_t WriteRawLog(const std::filesystem::path& file, std::size_t pairs = kFullMemoryPairs);

// A temporary working directory holding Rawdata/<kGeneratedLogName>. The
// process works in it while the object lives; the previous working
// directory is restored and the folder removed afterwards.
class GeneratedLogDirectory {
 public:
  explicit GeneratedLogDirectory(std::size_t pairs = kFullMemoryPairs);
  ~GeneratedLogDirectory();
  GeneratedLogDirectory(const GeneratedLogDirectory&) = delete;
  GeneratedLogDirectory& operator=(const GeneratedLogDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::size_t Pairs() const { return pairs_; }
  std::uintmax_t LogBytes() const { return logBytes_; }
  // Leaves the folder in place when the object goes, for a later look at the
  // log or the outputs.
  void Keep() { keep_ = true; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
  std::size_t pairs_;
  std::uintmax_t logBytes_ = 0;
  bool keep_ = false;
};

}  // namespace quillon::bench
