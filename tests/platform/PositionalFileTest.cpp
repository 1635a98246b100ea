#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileBytes.h"
#include "tests/platform/WorkingDirectoryTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

std::string ReadAtOffset(const PositionalFile& file, std::uint64_t offset, std::size_t count) {
  std::string bytes(count, '\0');
  bytes.resize(file.ReadAt(offset, bytes.data(), count));
  return bytes;
}

// Reads anywhere in the file, from two threads at once, give its bytes; past
// the end they give fewer or none.
TEST(PositionalFileTest, ReadsGiveTheBytesAtTheirOffset) {
  testing::TempFolder temp;
  const fs::path path = temp.Path() / "log.txt";
  std::mt19937 random(5);
  std::string content(300000, '\0');
  for (char& c : content) c = static_cast<char>(random());
  testing::WriteFileBytes(path, content);
  std::unique_ptr<PositionalFile> file;
  ASSERT_EQ(OpenPositionalFile(path.string(), content.size(), file), FileBytesOutcome::kRead);
  EXPECT_EQ(file->Size(), content.size());
  EXPECT_EQ(ReadAtOffset(*file, content.size() - 10, 64), content.substr(content.size() - 10));
  EXPECT_EQ(ReadAtOffset(*file, content.size() + 5, 64), "");
  std::vector<bool> same(2, true);
  std::vector<std::thread> readers;
  for (int reader = 0; reader < 2; ++reader) {
    readers.emplace_back([&, reader] {
      std::mt19937 offsets(reader);
      for (int i = 0; i < 500; ++i) {
        const std::size_t offset = offsets() % content.size();
        const std::size_t count = offsets() % 70000;
        same[reader] = same[reader] && ReadAtOffset(*file, offset, count) == content.substr(offset, count);
      }
    });
  }
  for (std::thread& reader : readers) reader.join();
  EXPECT_TRUE(same[0]);
  EXPECT_TRUE(same[1]);
}

TEST(PositionalFileTest, OnlyARegularFileWithinTheLimitOpens) {
  testing::TempFolder temp;
  testing::WriteFileBytes(temp.Path() / "ten.txt", "0123456789");
  struct Case {
    const char* name;
    fs::path path;
    std::uint64_t maxBytes;
    FileBytesOutcome outcome;
  };
  const Case cases[] = {
      {"at the limit", temp.Path() / "ten.txt", 10, FileBytesOutcome::kRead},
      {"over the limit", temp.Path() / "ten.txt", 9, FileBytesOutcome::kTooLarge},
      {"missing", temp.Path() / "none.txt", 100, FileBytesOutcome::kCannotOpen},
      {"a folder", temp.Path(), 100, FileBytesOutcome::kCannotOpen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<PositionalFile> file;
    EXPECT_EQ(OpenPositionalFile(c.path.string(), c.maxBytes, file), c.outcome);
    EXPECT_EQ(file != nullptr, c.outcome == FileBytesOutcome::kRead);
  }
#ifndef _WIN32
  // A pipe without a writer is refused at once rather than waited on.
  const fs::path pipe = temp.Path() / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::unique_ptr<PositionalFile> file;
  EXPECT_EQ(OpenPositionalFile(pipe.string(), 100, file), FileBytesOutcome::kCannotOpen);
#endif
}

// What tells a file changed under its reader, and which names are the open
// file. Each file's times are set an hour back first, so that a change
// shows however coarse the file system's clock is; it is held open for
// writing meanwhile, as by a program that writes it, so that no lease makes
// the changes wait.
TEST(PositionalFileTest, ChangesAfterOpeningAndOtherNamesOfTheFileAreTold) {
  testing::TempFolder temp;
  const std::string content = "$GPGGA,1\n$GPRMC,1\n";
  struct Change {
    const char* name;
    void (*apply)(const fs::path&);
    bool changed;
  };
  const Change changes[] = {
      {"untouched", [](const fs::path&) {}, false},
      {"read again", [](const fs::path& p) { testing::ReadFileBytes(p); }, false},
      {"lengthened", [](const fs::path& p) { std::ofstream(p, std::ios::binary | std::ios::app) << "$GPGGA,2\n"; },
       true},
      {"cut", [](const fs::path& p) { fs::resize_file(p, 4); }, true},
      {"cut and filled again to its size",
       [](const fs::path& p) {
         fs::resize_file(p, 4);
         std::ofstream(p, std::ios::binary | std::ios::app) << std::string("$GPGGA,9\n$GPRMC,9\n").substr(4);
       },
       true},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    const fs::path path = temp.Path() / "log.txt";
    testing::WriteFileBytes(path, content);
    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
    std::ofstream writer(path, std::ios::binary | std::ios::app);
    std::unique_ptr<PositionalFile> file;
    ASSERT_EQ(OpenPositionalFile(path.string(), 1000, file), FileBytesOutcome::kRead);
    change.apply(path);
    EXPECT_EQ(file->ChangedSinceOpened(), change.changed);
    EXPECT_TRUE(file->IsFileAt(path.string()));
    file.reset();
    writer.close();
    fs::remove(path);
  }

  const fs::path path = temp.Path() / "log.txt";
  testing::WriteFileBytes(path, content);
  testing::WriteFileBytes(temp.Path() / "copy.txt", content);
  fs::create_hard_link(path, temp.Path() / "hard.txt");
  std::unique_ptr<PositionalFile> file;
  ASSERT_EQ(OpenPositionalFile(path.string(), 1000, file), FileBytesOutcome::kRead);
  EXPECT_TRUE(file->IsFileAt((temp.Path() / "hard.txt").string()));
  EXPECT_TRUE(file->IsFileAt((temp.Path() / "." / "log.txt").string()));
  EXPECT_FALSE(file->IsFileAt((temp.Path() / "copy.txt").string()));
  EXPECT_FALSE(file->IsFileAt((temp.Path() / "missing.txt").string()));
}

}  // namespace
}  // namespace quillon
