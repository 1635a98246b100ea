#pragma once

#include <string>
#include <string_view>

namespace quillon::orvex {

// The raw log file a dump writes. The text goes into a hidden temporary file
// beside the final one, is flushed to disk, and only then takes the requested
// name, which must not exist yet: a dump that fails leaves no file that looks
// like a log, and an existing log is never overwritten. Every step returns 0
// or the device result code of its failure.
class RawLogFile {
 public:
  RawLogFile() = default;
  ~RawLogFile();
  RawLogFile(const RawLogFile&) = delete;
  RawLogFile& operator=(const RawLogFile&) = delete;

  // Checks the name (6: empty, or the file exists already), creates its
  // folder when missing (7: it cannot be created or is no folder) and opens
  // the temporary file (8).
  int Begin(const std::string& fileName);
  int Append(std::string_view text);  // 9: writing failed
  // Flushes to disk (10), then gives the file its name (6: it appeared in the
  // meantime; 11: the rename failed).
  int Commit();

  const std::string& TemporaryName() const { return temporaryName_; }

 private:
  // The checks and the folder of Begin, the same on every system: 0 with the
  // name kept as the final one, or the code of the failure.
  int PrepareTarget(const std::string& fileName);
  void Discard();

  std::string finalName_;
  std::string temporaryName_;
#ifdef _WIN32
  void* file_ = nullptr;
#else
  int fd_ = -1;
#endif
  bool committed_ = false;
};

}  // namespace quillon::orvex
