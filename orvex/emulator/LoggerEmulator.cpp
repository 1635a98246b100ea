#include "orvex/emulator/LoggerEmulator.h"

#include <algorithm>
#include <cstring>

#include "api/DeviceCodes.h"

namespace quillon::orvex {
namespace {

constexpr char kFirmware[] = "V1.3.7";
constexpr char kDistributor[] = "Quillon logger emulator";
constexpr std::time_t kUnixTimeOf2000 = 946684800;
constexpr std::size_t kUserPointSize = 8;  // latitude, longitude: signed micro-degrees

bool UserPointsValid(const std::array<std::uint8_t, kUserPointBlockSize>& block) {
  for (std::size_t at = 0; at < block.size(); at += kUserPointSize) {
    const std::uint8_t* point = block.data() + at;
    if (std::all_of(point, point + kUserPointSize, [](std::uint8_t b) { return b == 0xFF; })) continue;
    auto latitude = static_cast<std::int32_t>(GetU32(point));
    auto longitude = static_cast<std::int32_t>(GetU32(point + 4));
    if (latitude < -90000000 || latitude > 90000000 || longitude < -180000000 || longitude > 180000000) return false;
  }
  return true;
}

std::vector<std::uint8_t> StatusOnly(Status status) { return {static_cast<std::uint8_t>(status)}; }

}  // namespace

int CheckLoggerSettings(const LoggerSettings& s) {
  if (s.timeInterval > 3600) return code::kTimeIntervalOver;
  if (s.distanceInterval > 3000) return code::kDistanceIntervalOver;
  const bool byTime = s.timeInterval != -1;
  const bool byDistance = s.distanceInterval != -1;
  if (byTime == byDistance) return code::kSettingValueError;
  if (byTime && s.timeInterval < 1) return code::kSettingValueError;
  if (byDistance && s.distanceInterval < 25) return code::kSettingValueError;
  if ((s.vibration != 0 && s.vibration != 2) || s.tagFunction > 1) return code::kSettingValueError;
  if (s.minimumSpeed > 20) return code::kMinSpeedOver;
  if (!UserPointsValid(s.userPoints)) return code::kUserPointDataError;
  if (s.idleTimer < 2 || s.idleTimer > 15) return code::kIdleTimerOverRange;
  if (s.tagMode > 1) return code::kTagModeError;
  if (s.timeZone < -12 || s.timeZone > 14) return code::kTimeZoneError;
  return code::kSettingSuccessful;
}

LoggerEmulator::LoggerEmulator(const EmulatorOptions& options, const std::vector<LoggerFix>& fixes,
                               std::function<std::time_t()> clock)
    : options_(options), clock_(std::move(clock)), memory_(kMemoryBytes, 0xFF) {
  settings_.userPoints.fill(0xFF);
  const std::size_t stored = std::min<std::size_t>(fixes.size(), kRecordCapacity);
  for (std::size_t i = 0; i < stored; ++i) EncodeRecord(fixes[i], memory_.data() + i * kRecordSize);
  used_ = static_cast<std::uint32_t>(stored * kRecordSize);
}

LoggerEmulator::Reply LoggerEmulator::Handle(const Frame& request) {
  Reply reply;
  if (request.command & kAnswerBit) return reply;
  const auto answerCommand = static_cast<std::uint8_t>(request.command | kAnswerBit);

  if (static_cast<Command>(request.command) != Command::kReadBlock) {
    reply.bytes = EncodeFrame(answerCommand, request.sequence, Answer(request));
    return reply;
  }

  auto payload = ReadBlock(request.payload);
  const bool dataAnswer = payload.size() > 5;
  reply.bytes = EncodeFrame(answerCommand, request.sequence, payload);
  if (!dataAnswer) return reply;
  ++blockAnswers_;
  const long long data = static_cast<long long>(payload.size()) - 5;
  if (options_.unplugAfter >= 0 && downloadBytesSent_ + data > options_.unplugAfter) {
    // The cable comes out in the middle of this block.
    const long long part = options_.unplugAfter - downloadBytesSent_;
    reply.bytes.resize(kFrameHeaderSize + 5 + static_cast<std::size_t>(part));
    reply.unplugAfterSending = true;
  }
  downloadBytesSent_ += data;
  const std::size_t damaged = kFrameHeaderSize + 5 + 7;  // inside the block's first record
  if (blockAnswers_ == options_.corruptBlock && damaged < reply.bytes.size()) reply.bytes[damaged] ^= 0x40;
  return reply;
}

std::vector<std::uint8_t> LoggerEmulator::Answer(const Frame& request) {
  const auto command = static_cast<Command>(request.command);
  if (command == Command::kEnterDumpMode) {
    if (options_.refuseDumpMode) return StatusOnly(Status::kRefused);
    dumpMode_ = true;
    return StatusOnly(Status::kOk);
  }
  if (!dumpMode_) return StatusOnly(Status::kNotInDumpMode);

  std::vector<std::uint8_t> answer = StatusOnly(Status::kOk);
  switch (command) {
    case Command::kExitDumpMode:
      dumpMode_ = false;
      break;
    case Command::kReadInformation: {
      char firmware[kFirmwareSize] = {};
      char distributor[kDistributorSize] = {};
      std::uint32_t serial = options_.serial;
      if (options_.emptyInfo) {
        serial = 0;
      } else if (options_.garbledInfo) {
        std::memset(firmware, 0x07, sizeof firmware);
      } else {
        std::memcpy(firmware, kFirmware, sizeof kFirmware);
        std::memcpy(distributor, kDistributor, sizeof kDistributor);
      }
      PutU32(answer, serial);
      answer.insert(answer.end(), firmware, firmware + sizeof firmware);
      answer.insert(answer.end(), distributor, distributor + sizeof distributor);
      break;
    }
    case Command::kReadClock: {
      std::time_t now = clock_();
      UtcDateTime when = ToUtcDateTime(static_cast<std::uint32_t>(now - kUnixTimeOf2000));
      if (options_.gpsInvalid) {
        answer.insert(answer.end(), 7, 0);
      } else {
        answer.insert(answer.end(), {1, static_cast<std::uint8_t>(when.hour), static_cast<std::uint8_t>(when.minute),
                                     static_cast<std::uint8_t>(when.second), static_cast<std::uint8_t>(when.year - 2000),
                                     static_cast<std::uint8_t>(when.day), static_cast<std::uint8_t>(when.month)});
      }
      break;
    }
    case Command::kReadMemoryUsed:
      PutU32(answer, options_.badMemorySize ? used_ + 1 : used_);
      break;
    case Command::kReadSettings: {
      auto encoded = EncodeSettings(settings_);
      answer.insert(answer.end(), encoded.begin(), encoded.end());
      break;
    }
    case Command::kWriteSettings: {
      auto received = DecodeSettings(request.payload.data(), request.payload.size());
      if (!received) return StatusOnly(Status::kBadRequest);
      int verdict = CheckLoggerSettings(*received);
      if (verdict == code::kSettingSuccessful && options_.settingFail) verdict = code::kSettingFail;
      if (verdict == code::kSettingSuccessful) settings_ = *received;
      answer.push_back(static_cast<std::uint8_t>(verdict));
      break;
    }
    case Command::kErase:
      std::fill(memory_.begin(), memory_.begin() + used_, 0xFF);
      used_ = 0;
      break;
    default:
      return StatusOnly(Status::kBadRequest);
  }
  return answer;
}

std::vector<std::uint8_t> LoggerEmulator::ReadBlock(const std::vector<std::uint8_t>& request) {
  if (!dumpMode_) return StatusOnly(Status::kNotInDumpMode);
  if (request.size() != 6) return StatusOnly(Status::kBadRequest);
  const std::uint32_t offset = GetU32(request.data());
  const std::uint16_t length = GetU16(request.data() + 4);
  if (length == 0 || length > kMaxPayload - 5 || static_cast<std::uint64_t>(offset) + length > kMemoryBytes) {
    return StatusOnly(Status::kBadRequest);
  }
  std::vector<std::uint8_t> answer = StatusOnly(Status::kOk);
  PutU32(answer, offset);
  answer.insert(answer.end(), memory_.begin() + offset, memory_.begin() + offset + length);
  return answer;
}

}  // namespace quillon::orvex
