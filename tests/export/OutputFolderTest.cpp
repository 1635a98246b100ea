#include "export/OutputFolder.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "export/AtomicOutputFile.h"
#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST(OutputFolderTest, EntersAndLeavesEvenBelowAVeryLongPath) {
  testing::TempFolder temp;
  fs::path deep = temp.Path();
  for (int i = 0; i < 8; ++i) deep /= std::string(60, static_cast<char>('a' + i));
  fs::create_directories(deep);
  testing::ScopedWorkingDirectory cwd(deep);
  const std::string start = GetWorkingDirectory();
  ASSERT_GT(start.size(), 480u);

  const std::string remembered = EnterOutputFolder(kCsvFolder);
  EXPECT_EQ(remembered, start);
  EXPECT_EQ(fs::path(GetWorkingDirectory()), deep / "Output File");
  LeaveOutputFolder(remembered);
  EXPECT_EQ(GetWorkingDirectory(), start);
}

TEST(OutputFolderTest, ScopeReturnsOnceWhicheverWayItEnds) {
  testing::TempFolder temp;
  testing::ScopedWorkingDirectory cwd(temp.Path());
  const std::string start = GetWorkingDirectory();
  {
    OutputFolderScope scope(kKmlFolder);
    EXPECT_EQ(fs::path(GetWorkingDirectory()), temp.Path() / "GoogleEarth");
    scope.Leave();
    EXPECT_EQ(GetWorkingDirectory(), start);
    SetWorkingDirectory("/");
  }
  EXPECT_EQ(GetWorkingDirectory(), "/");  // a second Leave does nothing
  SetWorkingDirectory(start);
  try {
    OutputFolderScope scope(kLocrFolder);
    throw std::runtime_error("writer failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetWorkingDirectory(), start);
  EXPECT_TRUE(fs::is_directory(temp.Path() / "locr"));
}

TEST(AtomicOutputFileTest, ReplacesOnlyACompleteFile) {
  testing::TempFolder temp;
  const fs::path target = temp.Path() / "out.txt";
  testing::WriteFileBytes(target, "old");

  EXPECT_FALSE(WriteFileAtomically(target.string(), [](std::ostream& out) {
    out << "half";
    out.setstate(std::ios::badbit);
  }));
  EXPECT_EQ(testing::ReadFileBytes(target), "old");

  EXPECT_TRUE(WriteFileAtomically(target.string(), [](std::ostream& out) { out << "new\r\n"; }));
  EXPECT_EQ(testing::ReadFileBytes(target), "new\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);

  EXPECT_FALSE(WriteFileAtomically((temp.Path() / "missing" / "out.txt").string(), [](std::ostream&) {}));
}

TEST(AtomicOutputFileTest, WritesThroughALinkAndKeepsIt) {
  testing::TempFolder temp;
  const fs::path file = temp.Path() / "real.csv";
  const fs::path link = temp.Path() / "link.csv";
  testing::WriteFileBytes(file, "old");
  fs::create_symlink(file, link);
  EXPECT_TRUE(WriteFileAtomically(link.string(), [](std::ostream& out) { out << "new"; }));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testing::ReadFileBytes(file), "new");
}

TEST(AtomicOutputFileTest, WritesIntoAPipeInsteadOfReplacingIt) {
  testing::TempFolder temp;
  const fs::path fifo = temp.Path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = testing::ReadFileBytes(fifo); });
  const bool written = WriteFileAtomically(fifo.string(), [](std::ostream& out) { out << "through the pipe"; });
  reader.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(received, "through the pipe");
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
}

// "-o /dev/stdout >> log": the bytes go after what the log held, through the
// descriptor, and the log stays the same file.
TEST(AtomicOutputFileTest, AppendsThroughANameOfAnOpenDescriptor) {
  testing::TempFolder temp;
  const fs::path log = temp.Path() / "log.txt";
  testing::WriteFileBytes(log, "previous\n");
  const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  struct stat before {};
  ASSERT_EQ(::fstat(fd, &before), 0);
  for (const std::string prefix : {"/proc/self/fd/", "/dev/fd/"}) {
    SCOPED_TRACE(prefix);
    EXPECT_TRUE(WriteFileAtomically(prefix + std::to_string(fd), [&](std::ostream& out) { out << prefix << "\n"; }));
  }
  ::close(fd);
  EXPECT_EQ(testing::ReadFileBytes(log), "previous\n/proc/self/fd/\n/dev/fd/\n");
  struct stat after {};
  ASSERT_EQ(::stat(log.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
}

}  // namespace
}  // namespace quillon
