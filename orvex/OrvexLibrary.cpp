#include "orvex/OrvexLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "api/DeviceCodes.h"
#include "api/OrvexApi.h"
#include "orvex/PortResolver.h"
#include "orvex/VoiceFiles.h"

namespace quillon::orvex {
namespace {

// A logger that is there answers a dump-mode request at once; a short wait
// keeps the automatic scan over many silent ports bearable. A port that talks
// without answering (a GPS mouse, a modem) gets no more time than a silent
// one: the whole entry, all attempts, ends when a silent port's would. Each
// port of the automatic scan gets that time of its own.
constexpr WireTimeouts kEnterTimeouts{300, 300, (kMaxRetries + 1) * 300};
constexpr WireTimeouts kExitTimeouts{150, 150};
constexpr WireTimeouts kEraseTimeouts{3000, 300};

constexpr std::size_t kInformationAnswerSize = 4 + kFirmwareSize + kDistributorSize;
constexpr std::size_t kClockAnswerSize = 7;

bool IsPrintableText(const char* text, std::size_t size) {
  const char* end = static_cast<const char*>(std::memchr(text, '\0', size));
  if (end == nullptr) return false;
  return std::all_of(text, end, [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace

OrvexLibrary& TheOrvexLibrary() {
  static OrvexLibrary library;
  return library;
}

void OrvexLibrary::Release() {
  client_.reset();
  line_.reset();
}

OrvexLibrary::Entry OrvexLibrary::TryEnter(const std::filesystem::path& device) {
  auto line = SerialLine::Open(device.string());
  if (!line) return Entry::kCannotOpen;
  auto client = std::make_unique<WireClient>(*line);
  Frame answer;
  auto result = client->Transact(Command::kEnterDumpMode, {}, answer, kEnterTimeouts);
  if (result != WireClient::Result::kAnswered || answer.payload.empty() ||
      answer.payload[0] != static_cast<std::uint8_t>(Status::kOk)) {
    return Entry::kNoDumpMode;
  }
  line_ = std::move(line);
  client_ = std::move(client);
  return Entry::kEntered;
}

int OrvexLibrary::IntoDumpMode(std::uint8_t port) {
  // A line still held from an earlier call (say, one that failed and never
  // left dump mode) is given up: the new request decides where the logger is.
  Release();
  auto device = ResolveComPort(port);
  if (!device) return code::kComPortOpenError;
  switch (TryEnter(*device)) {
    case Entry::kEntered:
      return code::kIntoDumpMode;
    case Entry::kCannotOpen:
      return code::kComPortOpenError;
    case Entry::kNoDumpMode:
      break;
  }
  return code::kNotIntoDumpMode;
}

int OrvexLibrary::AutoIntoDumpMode(int* portFound) {
  Release();
  bool anyOpened = false;
  for (int port = kFirstScannedPort; port <= kLastScannedPort; ++port) {
    auto device = ResolveComPort(port);
    if (!device) continue;
    Entry entry = TryEnter(*device);
    if (entry == Entry::kEntered) {
      if (portFound != nullptr) *portFound = port;
      return code::kIntoDumpMode;
    }
    anyOpened = anyOpened || entry == Entry::kNoDumpMode;
  }
  return anyOpened ? code::kNotIntoDumpMode : code::kComPortOpenError;
}

int OrvexLibrary::ExitDumpMode() {
  if (!line_) return code::kNotDumpMode;
  Frame answer;
  client_->Transact(Command::kExitDumpMode, {}, answer, kExitTimeouts);
  Release();
  return kExitDumpModeOk;
}

int OrvexLibrary::Ask(Command command, const std::vector<std::uint8_t>& payload, std::vector<std::uint8_t>& answer,
                      const WireTimeouts& timeouts) {
  if (!line_) return code::kNotDumpMode;
  Frame frame;
  if (client_->Transact(command, payload, frame, timeouts) != WireClient::Result::kAnswered ||
      frame.payload.empty()) {
    return code::kDeviceNotReport;
  }
  auto status = static_cast<Status>(frame.payload[0]);
  if (status == Status::kNotInDumpMode) return code::kNotDumpMode;
  if (status != Status::kOk) return code::kDeviceNotReport;
  answer.assign(frame.payload.begin() + 1, frame.payload.end());
  return 0;
}

int OrvexLibrary::ReadDeviceInformation(std::uint32_t* serialNumber, char* firmware, char* distributor) {
  std::vector<std::uint8_t> answer;
  if (int failed = Ask(Command::kReadInformation, {}, answer)) return failed;
  if (answer.size() != kInformationAnswerSize) return code::kDeviceInformationUnreadable;
  std::uint32_t serial = GetU32(answer.data());
  const char* firmwareText = reinterpret_cast<const char*>(answer.data() + 4);
  const char* distributorText = firmwareText + kFirmwareSize;
  if (!IsPrintableText(firmwareText, kFirmwareSize) || !IsPrintableText(distributorText, kDistributorSize)) {
    return code::kDeviceInformationUnreadable;
  }
  if (serial == 0 && firmwareText[0] == '\0') return code::kDeviceInformationNull;
  if (serialNumber != nullptr) *serialNumber = serial;
  if (firmware != nullptr) std::memcpy(firmware, firmwareText, kFirmwareSize);
  if (distributor != nullptr) std::memcpy(distributor, distributorText, kDistributorSize);
  return kReadDeviceInformationOk;
}

int OrvexLibrary::ReadGpsUtcTimeDate(std::uint8_t* hour, std::uint8_t* minute, std::uint8_t* second,
                                     std::uint8_t* yearSince2000, std::uint8_t* day, std::uint8_t* month) {
  std::vector<std::uint8_t> answer;
  if (int failed = Ask(Command::kReadClock, {}, answer)) return failed;
  if (answer.size() != kClockAnswerSize) return code::kDeviceNotReport;
  // valid, hour, minute, second, year - 2000, day, month
  UtcDateTime when{2000 + answer[4], answer[6], answer[5], answer[1], answer[2], answer[3]};
  if (answer[0] == 0 || !ToSecondsSince2000(when)) return code::kGpsUtcTimeInvalid;
  std::uint8_t* outs[] = {hour, minute, second, yearSince2000, day, month};
  const std::uint8_t values[] = {answer[1], answer[2], answer[3], answer[4], answer[5], answer[6]};
  for (int i = 0; i < 6; ++i) {
    if (outs[i] != nullptr) *outs[i] = values[i];
  }
  return code::kGpsUtcTimeRead;
}

int OrvexLibrary::ReadUsedBytes(std::uint32_t& used) {
  std::vector<std::uint8_t> answer;
  if (int failed = Ask(Command::kReadMemoryUsed, {}, answer)) return failed;
  if (answer.size() != 4) return code::kMemoryUsedSizeError;
  used = GetU32(answer.data());
  if (used > kMemoryBytes || used % kRecordSize != 0) return code::kMemoryUsedSizeError;
  return 0;
}

int OrvexLibrary::ReadMemoryUsedSize(int* bytesUsed) {
  std::uint32_t used = 0;
  if (int failed = ReadUsedBytes(used)) return failed;
  if (bytesUsed != nullptr) *bytesUsed = static_cast<int>(used);
  return code::kMemoryUsedRead;
}

int OrvexLibrary::ReadSettingValue(LoggerSettings& settings) {
  std::vector<std::uint8_t> answer;
  if (int failed = Ask(Command::kReadSettings, {}, answer)) return failed;
  auto decoded = DecodeSettings(answer.data(), answer.size());
  if (!decoded) return code::kDeviceNotReport;
  settings = *decoded;
  return code::kReadSettingSuccessful;
}

int OrvexLibrary::SettingDevice(const LoggerSettings& settings, const char* voiceFilePath) {
  if (!line_) return code::kNotDumpMode;
  if (int voice = CheckVoiceFolder(voiceFilePath)) return voice;
  std::vector<std::uint8_t> answer;
  if (int failed = Ask(Command::kWriteSettings, EncodeSettings(settings), answer)) return failed;
  if (answer.size() != 1) return code::kDeviceNotReport;
  // The logger's verdict is a device result code of its own checks.
  return answer[0];
}

int OrvexLibrary::EraseAllDb() {
  std::vector<std::uint8_t> answer;
  if (int failed = Ask(Command::kErase, {}, answer, kEraseTimeouts)) return failed;
  return code::kEraseSuccessful;
}

int OrvexLibrary::ReadDllVersion(char* version) {
  if (version != nullptr) std::snprintf(version, ORVEX_DLL_VERSION_SIZE, "%s", kDllVersion);
  return kReadDllVersionOk;
}

}  // namespace quillon::orvex
