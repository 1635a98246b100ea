#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "orvex/LoggerRecord.h"
#include "orvex/SerialLine.h"
#include "orvex/WireClient.h"

namespace quillon::orvex {

// Codes of our own for the entry points whose success code the tool does not
// test (it accepts anything but its failure codes there).
inline constexpr int kReadDeviceInformationOk = 25;
inline constexpr int kExitDumpModeOk = 0;
inline constexpr int kReadDllVersionOk = 0;
inline constexpr char kDllVersion[] = "Quillon 1.0";

// Bytes asked for per block of a download; large blocks keep a full memory
// download to a few hundred round trips.
inline constexpr std::uint16_t kDownloadBlockBytes = 8192;

// The state of the stand-in device library: the line held in dump mode and
// the operations behind the eleven entry points. Dump mode holds the line
// opened by the dump-mode call; the port argument of later calls is only
// advisory, every call talks over that line.
class OrvexLibrary {
 public:
  int AutoIntoDumpMode(int* portFound);
  int IntoDumpMode(std::uint8_t port);
  int ExitDumpMode();
  int ReadDeviceInformation(std::uint32_t* serialNumber, char* firmware, char* distributor);
  int ReadGpsUtcTimeDate(std::uint8_t* hour, std::uint8_t* minute, std::uint8_t* second,
                         std::uint8_t* yearSince2000, std::uint8_t* day, std::uint8_t* month);
  int DumpDb(const char* rawLogFileName);
  int ReadMemoryUsedSize(int* bytesUsed);
  int ReadSettingValue(LoggerSettings& settings);
  int SettingDevice(const LoggerSettings& settings, const char* voiceFilePath);
  int EraseAllDb();
  int ReadDllVersion(char* version);

 private:
  enum class Entry { kEntered, kCannotOpen, kNoDumpMode };
  Entry TryEnter(const std::filesystem::path& device);
  void Release();
  // Sends a request over the held line. 0 when the logger answered and
  // accepted it (`answer` then holds the payload after the status byte),
  // otherwise the device result code: 26 without dump mode, 12 when the
  // logger does not answer.
  int Ask(Command command, const std::vector<std::uint8_t>& payload, std::vector<std::uint8_t>& answer,
          const WireTimeouts& timeouts = {});
  int ReadUsedBytes(std::uint32_t& used);

  std::unique_ptr<SerialLine> line_;
  std::unique_ptr<WireClient> client_;
};

// The one instance behind the C entry points.
OrvexLibrary& TheOrvexLibrary();

}  // namespace quillon::orvex
