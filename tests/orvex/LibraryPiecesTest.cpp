#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "api/DeviceCodes.h"
#include "orvex/PortResolver.h"
#include "orvex/RawLogFile.h"
#include "orvex/VoiceFiles.h"

namespace quillon::orvex {
namespace {

namespace fs = std::filesystem;

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillon-orvex-unit-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
};

using PortResolverTest = TempFolderTest;

// A process id that no process has any more.
pid_t EndedProcess() {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST_F(PortResolverTest, PortsFolderDecidesAloneAndTrustsOnlyLivePublishers) {
  const fs::path ports = folder / "ports";
  fs::create_directory(ports);
  struct Case {
    int port;
    std::string pidFile;  // empty: none
    bool exists;
  } cases[] = {
      {12, std::to_string(::getpid()) + "\n", true},
      {14, "", false},
      {15, std::to_string(EndedProcess()) + "\n", false},
      {16, "not a number\n", false},
      {17, "0\n", false},   // kill(0, 0) would ask our own process group
      {18, "-1\n", false},  // and kill(-1, 0) every process we may signal
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    const fs::path link = ports / ("COM" + std::to_string(c.port));
    fs::create_symlink("/dev/null", link);
    if (!c.pidFile.empty()) std::ofstream(link.string() + ".pid") << c.pidFile;
    EXPECT_EQ(ResolveComPort(c.port, folder), c.exists ? std::optional<fs::path>(link) : std::nullopt);
  }
  EXPECT_FALSE(ResolveComPort(1, folder).has_value());
  EXPECT_FALSE(ResolveComPort(0, folder).has_value());
  EXPECT_FALSE(ResolveComPort(-3, folder).has_value());
}

using RawLogFileTest = TempFolderTest;

TEST_F(RawLogFileTest, FileAppearsOnlyWhenCommitted) {
  const std::string name = (folder / "Rawdata" / "log.txt").string();
  {
    RawLogFile file;
    ASSERT_EQ(file.Begin(name), 0);
    ASSERT_EQ(file.Append("$GPGGA\r\n"), 0);
    EXPECT_FALSE(fs::exists(name));
    EXPECT_TRUE(fs::exists(file.TemporaryName()));
    ASSERT_EQ(file.Commit(), 0);
  }
  std::ifstream in(name, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "$GPGGA\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "Rawdata"), fs::directory_iterator{}), 1);
}

TEST_F(RawLogFileTest, AbandonedFileLeavesNothing) {
  const std::string name = (folder / "log.txt").string();
  {
    RawLogFile file;
    ASSERT_EQ(file.Begin(name), 0);
    file.Append("partial");
  }
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(RawLogFileTest, NameTakenWhileWritingIsNotOverwritten) {
  const std::string name = (folder / "log.txt").string();
  RawLogFile file;
  ASSERT_EQ(file.Begin(name), 0);
  std::ofstream(name) << "someone else's";
  EXPECT_EQ(file.Commit(), code::kCantBuildDumpFile);
  std::ifstream in(name);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "someone else's");
}

TEST(VoiceFilesTest, WaveCompleteness) {
  auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  const std::string fmt = "fmt " + u32(16) + std::string(16, '\x01');
  const std::string good = "RIFF" + u32(4 + 24 + 12) + "WAVE" + fmt + "data" + u32(4) + "abcd";
  struct Case {
    const char* what;
    std::string bytes;
    bool complete;
  } cases[] = {
      {"complete", good, true},
      {"cut short", good.substr(0, good.size() - 1), false},
      {"header only", good.substr(0, 12), false},
      {"not RIFF", "RIFX" + good.substr(4), false},
      {"no data chunk", "RIFF" + u32(4 + 24) + "WAVE" + fmt, false},
      {"no fmt chunk", "RIFF" + u32(4 + 12) + "WAVE" + "data" + u32(4) + "abcd", false},
      {"empty", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsCompleteWave(c.bytes), c.complete);
  }
}

TEST(VoiceFilesTest, NoPathMeansNoVoiceData) {
  EXPECT_EQ(CheckVoiceFolder(nullptr), 0);
  EXPECT_EQ(CheckVoiceFolder(""), 0);
  EXPECT_EQ(CheckVoiceFolder("/nonexistent/voice file"), 0);
}

}  // namespace
}  // namespace quillon::orvex
