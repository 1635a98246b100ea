// quillon-convert with inputs and outputs only POSIX systems have: named
// pipes, devices, symbolic and hard links, the process's own streams.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/cli/ConvertRun.h"
#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

extern "C" char** environ;

// A shell command line in the test's folder, the converter as "$0".
int RunShell(const std::string& script, const fs::path& folder) {
  return RunProgram({"/bin/sh", "-c", script, QUILLON_CONVERT_PATH}, folder / ".shell.out", folder / ".shell.err");
}

// The three-fix log over and over, some tens of megabytes: long enough to
// convert that a test can act while the conversion runs.
std::string LongLog() {
  const std::string three = testing::ReadFileBytes(testing::TestDataPath("export_three_fixes.txt"));
  std::string log;
  while (log.size() < (std::size_t{24} << 20)) log += three;
  return log;
}

// The hidden temporary files in a folder.
std::vector<std::string> TemporaryFiles(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".tmp")) names.push_back(name);
  }
  return names;
}

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

// Started with standard descriptors closed (a service manager, a careless
// script), the converter must not take one of them for the log it opens, and
// then write its output into the log.
TEST_F(ConvertCommandTest, ClosedStandardDescriptorsNeverLeadIntoTheLog) {
  const std::string log = testing::ReadFileBytes(temp_.Path() / kLogName);
  for (const char* format : {"csv", "kml", "gpx"}) {
    for (const char* closed : {">&-", "<&- >&-", ">&- 2>&-", "<&- >&- 2>&-"}) {
      SCOPED_TRACE(std::string(format) + " " + closed);
      const std::string command =
          "\"$0\" " + std::string(kLogName) + " --format " + format + " --all -o /dev/stdout " + closed;
      EXPECT_EQ(RunShell(command, temp_.Path()), 0);
      EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / kLogName), log);
    }
  }
  // Standard output that is the log itself is refused, however it is named.
  for (const char* output : {"/dev/stdout", "-", "/dev/fd/1"}) {
    SCOPED_TRACE(output);
    EXPECT_EQ(RunShell("\"$0\" " + std::string(kLogName) + " -o " + output + " >> " + kLogName, temp_.Path()), 2);
    EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / ".shell.err"),
              "quillon-convert: the output '" + std::string(output) + "' is the raw log itself; nothing written\n");
    EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / kLogName), log);
  }
}

// Standard output shared with the commands after the converter: what they
// write follows the converter's bytes instead of overwriting them.
TEST_F(ConvertCommandTest, StandardOutputIsWrittenWhereTheShellLeftIt) {
  const std::string csv = testing::ReadFileBytes(testing::TestDataPath("export_three_fixes.csv"));
  for (const char* output : {"-", "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
    SCOPED_TRACE(output);
    const std::string command =
        "{ echo BEGIN; \"$0\" " + std::string(kLogName) + " -o " + output + "; echo END; } > shared.txt";
    EXPECT_EQ(RunShell(command, temp_.Path()), 0);
    EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "shared.txt"), "BEGIN\n" + csv + "END\n");
  }
  EXPECT_FALSE(fs::exists(temp_.Path() / "-"));
}

// What a re-export keeps of the file it replaces, and names at the limit.
TEST_F(ConvertCommandTest, ReplacedOutputKeepsItsPermissionsAndLongNamesAreWritten) {
  const std::string csv = testing::ReadFileBytes(testing::TestDataPath("export_three_fixes.csv"));
  for (const fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0604), fs::perms(0444)}) {
    SCOPED_TRACE(static_cast<int>(mode));
    testing::WriteFileBytes(temp_.Path() / "private.csv", "before");
    fs::permissions(temp_.Path() / "private.csv", mode);
    EXPECT_EQ(Run({kLogName, "-o", "private.csv"}).status, 0);
    EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "private.csv"), csv);
    EXPECT_EQ(static_cast<int>(fs::status(temp_.Path() / "private.csv").permissions()), static_cast<int>(mode));
  }
  for (const std::size_t length : {249u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".csv";
    const std::string utf8 = std::string(length - 7, 'n') + "\xc3\xa9" + ".gpx";  // a two-byte letter at the cut
    for (const std::string& output : {name, utf8}) {
      SCOPED_TRACE(output.size());
      RunResult r = Run({kLogName, "-o", output});
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, output + "\n");
      EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / output), csv);
      // Twice: the second replaces the first.
      EXPECT_EQ(Run({kLogName, "-o", output}).status, 0);
    }
  }
  EXPECT_TRUE(TemporaryFiles(temp_.Path()).empty());
}

TEST_F(ConvertCommandTest, PipeThatNoProgramReadsIsRefusedAtOnce) {
  ASSERT_EQ(::mkfifo((temp_.Path() / "out.fifo").c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  RunResult r = Run({kLogName, "-o", "out.fifo"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quillon-convert: cannot write 'out.fifo': it is a pipe that no program reads\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// Files under /proc say they hold 0 bytes and give their bytes when read:
// the converter's own environment holds a log here.
TEST_F(ConvertCommandTest, FileWhoseSizeReadsAsZeroIsReadToItsEnd) {
  const std::string log = testing::ReadFileBytes(temp_.Path() / kLogName);
  ASSERT_EQ(::setenv("QUILLON_TEST_LOG", ("\n" + log).c_str(), 1), 0);
  for (const char* format : {"csv", "kml"}) {
    SCOPED_TRACE(format);
    const std::string output = std::string("environ.") + format;
    RunResult r = Run({"/proc/self/environ", "--format", format, "-o", output});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / output),
              testing::ReadFileBytes(testing::TestDataPath(std::string("export_three_fixes.") + format)));
  }
  ::unsetenv("QUILLON_TEST_LOG");
}

// A log that another program (holding it open for writing, so that no lease
// keeps it still) cuts and fills again while it is converted. Each
// conversion is either of one whole state of the log or fails and keeps the
// previous output; on a busy machine the writer may not get to run during a
// conversion, so the conversion is tried until one of them saw a change.
TEST_F(ConvertCommandTest, LogChangedWhileItIsReadFailsAndKeepsThePreviousOutput) {
  const std::string log = LongLog();
  const std::size_t half = log.size() / 2;
  // The two states the writer leaves the log in between its steps.
  std::map<std::string, std::set<std::string>> states;
  for (const std::string& state : {log.substr(0, half), log}) {
    testing::WriteFileBytes(temp_.Path() / "long_Rawdata_1.txt", state);
    for (const char* format : {"csv", "kml"}) {
      ASSERT_EQ(Run({"long_Rawdata_1.txt", "--format", format, "-o", "state.txt"}).status, 0);
      states[format].insert(testing::ReadFileBytes(temp_.Path() / "state.txt"));
    }
  }
  const int fd = ::open((temp_.Path() / "long_Rawdata_1.txt").c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    while (!stop) {
      if (::ftruncate(fd, static_cast<off_t>(half)) != 0) return;
      if (::pwrite(fd, log.data() + half, log.size() - half, static_cast<off_t>(half)) < 0) return;
    }
  });
  for (const char* format : {"csv", "kml"}) {
    SCOPED_TRACE(format);
    bool sawChange = false;
    for (int attempt = 0; attempt < 20 && !sawChange; ++attempt) {
      testing::WriteFileBytes(temp_.Path() / "out.txt", "previous");
      RunResult r = Run({"long_Rawdata_1.txt", "--format", format, "-o", "out.txt"});
      if (r.status == 0) {
        EXPECT_EQ(states[format].count(testing::ReadFileBytes(temp_.Path() / "out.txt")), 1u) << "a conversion with a gap";
        continue;
      }
      sawChange = true;
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, "quillon-convert: 'long_Rawdata_1.txt' changed while it was read; nothing written\n");
      EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "out.txt"), "previous");
    }
    EXPECT_TRUE(sawChange) << "no conversion saw the log change in 20 tries";
  }
  stop = true;
  writer.join();
  ::close(fd);
  EXPECT_TRUE(TemporaryFiles(temp_.Path()).empty());
}

// A conversion ended by a signal takes its temporary file with it; the
// previous output stays as it was.
TEST_F(ConvertCommandTest, SignalsThatEndAConversionRemoveItsTemporaryFile) {
  testing::WriteFileBytes(temp_.Path() / "long_Rawdata_1.txt", LongLog());
  const std::string convert = QUILLON_CONVERT_PATH;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
    SCOPED_TRACE(strsignal(signal));
    testing::WriteFileBytes(temp_.Path() / "out.kml", "previous");
    // The file size limit raises SIGXFSZ itself, at the first write past it.
    std::vector<std::string> args = {"/bin/sh", "-c", "ulimit -f 1024; exec \"$0\" long_Rawdata_1.txt --format kml -o out.kml",
                                     convert};
    if (signal != SIGXFSZ) args = {convert, "long_Rawdata_1.txt", "--format", "kml", "-o", "out.kml"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    if (signal != SIGXFSZ) {
      // Sent once the temporary file is there.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (TemporaryFiles(temp_.Path()).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      ::kill(pid, signal);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    EXPECT_EQ(TemporaryFiles(temp_.Path()), std::vector<std::string>{});
    EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "out.kml"), "previous");
  }
}

// A temporary file left by a process that no longer runs (killed with
// SIGKILL, a power cut) goes with the next export to the same name; one of a
// process still running stays.
TEST_F(ConvertCommandTest, TemporaryFileOfAProcessGoneIsRemovedByTheNextExport) {
  pid_t gone = 0;
  char* trueArgs[] = {const_cast<char*>("/bin/true"), nullptr};
  ASSERT_EQ(posix_spawn(&gone, "/bin/true", nullptr, nullptr, trueArgs, environ), 0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const std::string left = ".out.csv." + std::to_string(gone) + "-0.tmp";
  const std::string running = ".out.csv." + std::to_string(::getpid()) + "-3.tmp";
  const std::string otherName = ".other.csv." + std::to_string(gone) + "-0.tmp";
  for (const std::string& name : {left, running, otherName}) testing::WriteFileBytes(temp_.Path() / name, "part");
  EXPECT_EQ(Run({kLogName, "-o", "out.csv"}).status, 0);
  EXPECT_FALSE(fs::exists(temp_.Path() / left));
  EXPECT_TRUE(fs::exists(temp_.Path() / running));
  EXPECT_TRUE(fs::exists(temp_.Path() / otherName));
}

}  // namespace
}  // namespace quillon
