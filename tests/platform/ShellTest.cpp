#include "platform/Shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/WorkingDirectory.h"
#include "tests/platform/WorkingDirectoryTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

// A stand-in opener: a shell script that records its argument and exits with
// a chosen status.
fs::path MakeOpener(const fs::path& folder, const std::string& name, const std::string& body) {
  const fs::path path = folder / name;
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

class ShellTest : public ::testing::Test {
 protected:
  ShellTest() {
    document_ = temp_.Path() / "document.csv";
    testing::WriteFileBytes(document_, "x");
    argumentFile_ = temp_.Path() / "argument";
  }
  std::string RecordingOpener(int status) {
    return MakeOpener(temp_.Path(), "opener" + std::to_string(status),
                      "printf '%s' \"$1\" > '" + argumentFile_.string() + "'\nexit " + std::to_string(status))
        .string();
  }

  testing::TempFolder temp_;
  fs::path document_;
  fs::path argumentFile_;
};

TEST_F(ShellTest, OpenerExitStatusMapsToShellResults) {
  const std::pair<int, int> cases[] = {{0, kShellSuccess},       {2, kShellFileNotFound}, {3, kShellNoAssociation},
                                       {4, kShellNoAssociation}, {1, kShellNoAssociation}, {5, 5}};
  for (const auto& [status, result] : cases) {
    SCOPED_TRACE(::testing::Message() << "opener exits " << status);
    OpenerShell shell(RecordingOpener(status));
    EXPECT_EQ(shell.OpenWithShell(document_.string()), result);
  }
  EXPECT_GT(kShellSuccess, kShellErrorLimit);
}

TEST_F(ShellTest, RelativePathsReachTheOpenerAsAbsolutePaths) {
  testing::ScopedWorkingDirectory cwd(temp_.Path());
  OpenerShell shell(RecordingOpener(0));
  ASSERT_EQ(shell.OpenWithShell("document.csv"), kShellSuccess);
  EXPECT_EQ(testing::ReadFileBytes(argumentFile_), document_.string());
}

TEST_F(ShellTest, MissingFileIsNotHandedToTheOpener) {
  OpenerShell shell(RecordingOpener(0));
  EXPECT_EQ(shell.OpenWithShell((temp_.Path() / "missing.csv").string()), kShellFileNotFound);
  EXPECT_EQ(shell.OpenWithShell(""), kShellFileNotFound);
  EXPECT_FALSE(fs::exists(argumentFile_));
}

TEST_F(ShellTest, MissingOpenerMeansNoAssociatedProgram) {
  OpenerShell shell((temp_.Path() / "no-such-opener").string());
  EXPECT_EQ(shell.OpenWithShell(document_.string()), kShellNoAssociation);
}

TEST_F(ShellTest, OpenerThatKeepsRunningCountsAsStarted) {
  const std::string opener = MakeOpener(temp_.Path(), "slow", "sleep 2").string();
  OpenerShell shell(opener, std::chrono::milliseconds(100));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(shell.OpenWithShell(document_.string()), kShellSuccess);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(ShellTest, SystemShellUsesTheOpenerFoundThroughPath) {
  MakeOpener(temp_.Path(), "xdg-open", "exit 3");
  const char* oldPath = std::getenv("PATH");
  const std::string saved = oldPath ? oldPath : "";
  ::setenv("PATH", temp_.Path().c_str(), 1);
  const int result = MakeSystemShell()->OpenWithShell(document_.string());
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(result, kShellNoAssociation);
}

}  // namespace
}  // namespace quillon
