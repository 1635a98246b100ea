#include "cli/OutputTarget.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "tests/platform/WorkingDirectoryTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST(OutputTargetTest, WritesIntoAPipeInsteadOfReplacingIt) {
  testing::TempFolder temp;
  const fs::path fifo = temp.Path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = testing::ReadFileBytes(fifo); });
  const bool written = WriteOutput(fifo.string(), [](std::ostream& out) { out << "through the pipe"; }).written;
  reader.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(received, "through the pipe");
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
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
