#include "cli/OutputTarget.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/platform/WorkingDirectoryTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST(OutputTargetTest, WritesIntoAPipeInsteadOfReplacingIt) {
  testing::TempFolder temp;
  const fs::path fifo = temp.Path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A reader is there first: a pipe that no one reads is not written.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const bool written = WriteOutput(fifo.string(), [](std::ostream& out) { out << "through the pipe"; }).written;
  char received[64] = {};
  const ssize_t n = ::read(reader, received, sizeof received);
  ::close(reader);
  EXPECT_TRUE(written);
  EXPECT_EQ(std::string(received, n > 0 ? static_cast<std::size_t>(n) : 0), "through the pipe");
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);

  const OutputResult unread = WriteOutput(fifo.string(), [](std::ostream& out) { out << "lost"; });
  EXPECT_FALSE(unread.written);
  EXPECT_EQ(unread.problem, "it is a pipe that no program reads");
}

// "-o /dev/stdout >> log": the bytes go after what the log held, through the
// descriptor, and the log stays the same file.
TEST(OutputTargetTest, AppendsThroughANameOfAnOpenDescriptor) {
  testing::TempFolder temp;
  const fs::path log = temp.Path() / "log.txt";
  testing::WriteFileBytes(log, "previous\n");
  const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  struct stat before {};
  ASSERT_EQ(::fstat(fd, &before), 0);
  for (const std::string prefix : {"/proc/self/fd/", "/dev/fd/"}) {
    SCOPED_TRACE(prefix);
    EXPECT_TRUE(WriteOutput(prefix + std::to_string(fd), [&](std::ostream& out) { out << prefix << "\n"; }).written);
  }
  ::close(fd);
  EXPECT_EQ(testing::ReadFileBytes(log), "previous\n/proc/self/fd/\n/dev/fd/\n");
  struct stat after {};
  ASSERT_EQ(::stat(log.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
}

}  // namespace
}  // namespace quillon
