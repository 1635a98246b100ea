#include <gtest/gtest.h>

#include "api/DeviceCodes.h"
#include "orvex/NmeaRenderer.h"
#include "orvex/emulator/EmulatorOptions.h"
#include "orvex/emulator/LoggerEmulator.h"
#include "orvex/emulator/SyntheticTrack.h"
#include "orvex/emulator/TrackFileReader.h"

namespace quillon::orvex {
namespace {

Frame Request(Command command, std::vector<std::uint8_t> payload = {}) {
  return Frame{static_cast<std::uint8_t>(command), 17, std::move(payload)};
}

// The answer's payload, taken back out of the reply's frame.
std::vector<std::uint8_t> AnswerOf(LoggerEmulator& logger, const Frame& request) {
  auto reply = logger.Handle(request);
  FrameDecoder decoder;
  decoder.Append(reply.bytes.data(), reply.bytes.size());
  Frame answer;
  EXPECT_EQ(decoder.Next(answer), FrameDecoder::Event::kFrame);
  EXPECT_EQ(answer.command, request.command | kAnswerBit);
  EXPECT_EQ(answer.sequence, request.sequence);
  return answer.payload;
}

std::vector<std::uint8_t> BlockRequest(std::uint32_t offset, std::uint16_t length) {
  std::vector<std::uint8_t> payload;
  PutU32(payload, offset);
  PutU16(payload, length);
  return payload;
}

TEST(LoggerEmulatorTest, AnswersOnlyDumpModeRequestsOutsideDumpMode) {
  LoggerEmulator logger(EmulatorOptions{}, SyntheticTrack(3));
  for (Command command : {Command::kReadInformation, Command::kReadClock, Command::kReadMemoryUsed,
                          Command::kReadSettings, Command::kErase, Command::kExitDumpMode}) {
    SCOPED_TRACE(static_cast<int>(command));
    EXPECT_EQ(AnswerOf(logger, Request(command)), std::vector<std::uint8_t>{2});
  }
  EXPECT_EQ(AnswerOf(logger, Request(Command::kReadBlock, BlockRequest(0, 32))), std::vector<std::uint8_t>{2});
  EXPECT_EQ(AnswerOf(logger, Request(Command::kEnterDumpMode)), std::vector<std::uint8_t>{0});
  EXPECT_TRUE(logger.InDumpMode());
  EXPECT_EQ(AnswerOf(logger, Request(Command::kExitDumpMode)), std::vector<std::uint8_t>{0});
  EXPECT_FALSE(logger.InDumpMode());
}

TEST(LoggerEmulatorTest, BlocksOutsideTheMemoryAreBadRequests) {
  LoggerEmulator logger(EmulatorOptions{}, SyntheticTrack(3));
  AnswerOf(logger, Request(Command::kEnterDumpMode));
  struct Case {
    std::vector<std::uint8_t> payload;
    const char* what;
  } cases[] = {{BlockRequest(kMemoryBytes - 16, 32), "past the end"},
               {BlockRequest(0, 0), "empty"},
               {BlockRequest(0, kMaxPayload), "larger than a frame"},
               {{1, 2, 3}, "short request"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AnswerOf(logger, Request(Command::kReadBlock, c.payload)), std::vector<std::uint8_t>{3});
  }
  auto block = AnswerOf(logger, Request(Command::kReadBlock, BlockRequest(64, 64)));
  ASSERT_EQ(block.size(), 1u + 4 + 64);
  EXPECT_EQ(DecodeRecord(block.data() + 5), SyntheticTrack(3)[2]);
  EXPECT_FALSE(DecodeRecord(block.data() + 5 + 64 - 32).has_value()) << "memory after the records is erased";
}

TEST(LoggerEmulatorTest, MemoryHoldsAtMostItsCapacity) {
  LoggerEmulator logger(EmulatorOptions{}, std::vector<LoggerFix>(kRecordCapacity + 5));
  EXPECT_EQ(logger.UsedBytes(), kMemoryBytes);
}

TEST(LoggerEmulatorTest, UnplugCutsTheBlockWhereTheLimitFalls) {
  EmulatorOptions options;
  options.unplugAfter = 100;
  LoggerEmulator logger(options, SyntheticTrack(10));
  AnswerOf(logger, Request(Command::kEnterDumpMode));
  auto first = logger.Handle(Request(Command::kReadBlock, BlockRequest(0, 64)));
  EXPECT_FALSE(first.unplugAfterSending);
  auto second = logger.Handle(Request(Command::kReadBlock, BlockRequest(64, 64)));
  EXPECT_TRUE(second.unplugAfterSending);
  EXPECT_EQ(second.bytes.size(), kFrameHeaderSize + 5 + 36);
}

TEST(LoggerEmulatorTest, SettingsCheckTakesTheFirstFaultInOrder) {
  LoggerSettings s;
  s.timeInterval = 4000;
  s.minimumSpeed = 40;
  EXPECT_EQ(CheckLoggerSettings(s), code::kTimeIntervalOver);
  s.timeInterval = 5;
  EXPECT_EQ(CheckLoggerSettings(s), code::kMinSpeedOver);
  s.minimumSpeed = 0;
  s.userPoints.fill(0xFF);
  EXPECT_EQ(CheckLoggerSettings(s), code::kSettingSuccessful);
  // A user point inside the globe is taken.
  std::vector<std::uint8_t> point;
  PutU32(point, static_cast<std::uint32_t>(25052056));
  PutU32(point, static_cast<std::uint32_t>(-121509463));
  std::copy(point.begin(), point.end(), s.userPoints.begin());
  EXPECT_EQ(CheckLoggerSettings(s), code::kSettingSuccessful);
}

TEST(TrackFileReaderTest, RenderedTrackReadsBackToTheSameFixes) {
  auto track = SyntheticTrack(400);
  std::string text;
  for (const auto& fix : track) RenderFix(fix, true, text);
  EXPECT_EQ(ParseTrackText(text), track);
}

TEST(TrackFileReaderTest, SkipsWhatIsNoFix) {
  auto fixes = ParseTrackText(
      "some header\r\n"
      "$GPRMC,120000.000,A,2503.1234,N,12130.5678,E,1.00,2.00,321308,,,A*00\r\n"  // no such date
      "$GPGSV,3,1,12*00\r\n"
      "$GPRMC,120001.000,A,2503.1234,N,12130.5678,E,1.00,2.00,120308,,,A*00\r\n");
  ASSERT_EQ(fixes.size(), 1u);
  EXPECT_EQ(fixes[0].latitude, 25 * 600000 + 31234);
}

TEST(EmulatorOptionsTest, ParsesEveryOptionAndRefusesNonsense) {
  const char* argv[] = {"emu",        "--port-dir", "p",           "--com",   "4",       "--serial",
                        "4294967295", "--fixes",    "9",           "--baud",  "9600",    "--corrupt-block",
                        "2",          "--unplug-after", "100",     "--no-answer", "--gps-invalid", "--empty-info"};
  std::string error;
  auto options = ParseEmulatorOptions(static_cast<int>(std::size(argv)), const_cast<char**>(argv), error);
  ASSERT_TRUE(options.has_value()) << error;
  EXPECT_EQ(options->portDir, "p");
  EXPECT_EQ(options->com, 4);
  EXPECT_EQ(options->serial, 4294967295u);
  EXPECT_EQ(options->fixes, 9);
  EXPECT_EQ(options->baud, 9600);
  EXPECT_EQ(options->corruptBlock, 2);
  EXPECT_EQ(options->unplugAfter, 100);
  EXPECT_TRUE(options->noAnswer && options->gpsInvalid && options->emptyInfo);
  EXPECT_FALSE(options->refuseDumpMode);

  for (auto bad : {std::vector<const char*>{"emu", "--com"}, {"emu", "--com", "x"}, {"emu", "--com", "256"},
                   {"emu", "--frobnicate"}, {"emu", "--baud", "0"}}) {
    SCOPED_TRACE(bad.back());
    EXPECT_FALSE(ParseEmulatorOptions(static_cast<int>(bad.size()), const_cast<char**>(bad.data()), error));
  }
}

}  // namespace
}  // namespace quillon::orvex
