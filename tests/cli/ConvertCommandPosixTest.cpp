// quillon-convert with inputs and outputs only POSIX systems have: named
// pipes, devices, symbolic and hard links, the process's own streams.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "tests/cli/ConvertRun.h"
#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST_F(ConvertCommandTest, InputThatIsNoRegularFileIsRefusedAtOnceWithItsCause) {
  fs::create_directory(temp_.Path() / "folder");
  ASSERT_EQ(::mkfifo((temp_.Path() / "idle.fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((temp_.Path() / "fed.fifo").c_str(), 0600), 0);
  // A writer holds the second pipe open and has put data in it.
  const int writer = ::open((temp_.Path() / "fed.fifo").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, "$GPGGA,", 7), 7);
  const std::string longName(300, 'n');
  std::string longPath;
  while (longPath.size() < 5000) longPath += "d/";
  longPath += "log.txt";

  const std::pair<std::string, std::string> cases[] = {
      {"missing.txt", "no such file"},
      {"missing/log.txt", "no such file"},
      {"folder", "it is a folder"},
      {"idle.fifo", "it is not a regular file: a pipe"},
      {"fed.fifo", "it is not a regular file: a pipe"},
      {"/dev/zero", "it is not a regular file: a device"},
      {"/dev/null", "it is not a regular file: a device"},
      {longName, "the name is longer than the system allows"},
      {longPath, "the name is longer than the system allows"},
  };
  for (const auto& [input, cause] : cases) {
    SCOPED_TRACE(input.substr(0, 40));
    RunResult r = Run({input});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillon-convert: cannot read '" + input + "': " + cause + "\n");
    EXPECT_EQ(r.out, "");
  }
  ::close(writer);
}

TEST_F(ConvertCommandTest, UnwritableOutputExitsWithOneAndTheCause) {
  fs::create_directory(temp_.Path() / "folder");
  fs::create_symlink("nodir/t.csv", temp_.Path() / "dangling.csv");
  fs::create_symlink("dangling.csv", temp_.Path() / "chain.csv");
  fs::create_symlink("folder", temp_.Path() / "tofolder.csv");
  fs::create_symlink("loop.csv", temp_.Path() / "loop.csv");
  const std::pair<std::string, std::string> cases[] = {
      {"no/such/folder/out.csv", "its folder does not exist"},
      {"folder", "it is a folder"},
      {"dangling.csv", "it leads to 'nodir/t.csv', whose folder does not exist"},
      {"chain.csv", "it leads to 'nodir/t.csv', whose folder does not exist"},
      {"tofolder.csv", "it leads to 'folder', which is a folder"},
      {"loop.csv", "it is a link that leads round in a circle"},
  };
  for (const auto& [output, cause] : cases) {
    SCOPED_TRACE(output);
    RunResult r = Run({kLogName, "-o", output});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillon-convert: cannot write '" + output + "': " + cause + "\n");
    EXPECT_EQ(r.out, "");
  }
  // The links are kept as they were, and nothing was made where they point.
  EXPECT_EQ(fs::read_symlink(temp_.Path() / "dangling.csv"), "nodir/t.csv");
  EXPECT_EQ(fs::read_symlink(temp_.Path() / "chain.csv"), "dangling.csv");
  EXPECT_EQ(fs::read_symlink(temp_.Path() / "loop.csv"), "loop.csv");
  EXPECT_FALSE(fs::exists(temp_.Path() / "nodir"));
  EXPECT_TRUE(fs::is_empty(temp_.Path() / "folder"));

  testing::WriteFileBytes(temp_.Path() / "empty_Rawdata_1.txt", "no sentences here\r\n");
  for (const char* output : {"empty.csv", "/dev/stdout", "no/such/folder/out.csv"}) {
    SCOPED_TRACE(output);
    RunResult r = Run({"empty_Rawdata_1.txt", "-o", output});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillon-convert: 'empty_Rawdata_1.txt' holds no position fix; nothing written\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(fs::exists(temp_.Path() / "empty.csv"));
}

// Standard output (or error) redirected to a file and named with -o: the
// file holds the data alone, with no path printed over its first bytes.
TEST_F(ConvertCommandTest, OutputNamingAnOpenStreamGetsTheDataAlone) {
  const std::string csv = testing::ReadFileBytes(testing::TestDataPath("export_three_fixes.csv"));
  fs::create_symlink("/dev/stdout", temp_.Path() / "screen.csv");
  for (const char* output : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "screen.csv"}) {
    SCOPED_TRACE(output);
    RunResult r = Run({kLogName, "-o", output});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, csv);
    EXPECT_EQ(r.err, "");
  }
  RunResult r = Run({kLogName, "-o", "/dev/stderr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, csv);
}

TEST_F(ConvertCommandTest, OutputThatIsTheRawLogItselfIsRefused) {
  const std::string log = testing::ReadFileBytes(temp_.Path() / kLogName);
  fs::create_symlink(kLogName, temp_.Path() / "soft.txt");
  fs::create_hard_link(temp_.Path() / kLogName, temp_.Path() / "hard.txt");
  fs::create_directory(temp_.Path() / "sub");
  fs::copy_file(temp_.Path() / kLogName, temp_.Path() / "Trackmaker.txt");
  const std::string here = temp_.Path().filename().string();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{kLogName, "-o", kLogName}, kLogName},
      {{kLogName, "-o", std::string("./") + kLogName}, std::string("./") + kLogName},
      {{kLogName, "-o", "sub/../" + std::string(kLogName)}, "sub/../" + std::string(kLogName)},
      {{kLogName, "-o", "../" + here + "/" + kLogName}, "../" + here + "/" + kLogName},
      {{kLogName, "-o", (temp_.Path() / kLogName).string()}, (temp_.Path() / kLogName).string()},
      {{kLogName, "-o", "soft.txt"}, "soft.txt"},
      {{"soft.txt", "-o", kLogName}, kLogName},
      {{kLogName, "-o", "hard.txt"}, "hard.txt"},
      {{"Trackmaker.txt", "--format", "trackmaker"}, "Trackmaker.txt"},
  };
  for (const auto& [args, output] : cases) {
    SCOPED_TRACE(output);
    RunResult r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "quillon-convert: the output '" + output + "' is the raw log itself; nothing written\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / kLogName), log);
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "Trackmaker.txt"), log);
  EXPECT_TRUE(fs::is_symlink(temp_.Path() / "soft.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(temp_.Path()), fs::directory_iterator()), 5);
}

}  // namespace
}  // namespace quillon
