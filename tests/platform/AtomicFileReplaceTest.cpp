#include "platform/AtomicFileReplace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <random>
#include <string>

#include "tests/platform/WorkingDirectoryTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileReplaceTest, ReplacesOnlyACompleteFile) {
  testing::TempFolder temp;
  const fs::path target = temp.Path() / "out.txt";
  testing::WriteFileBytes(target, "old");

  EXPECT_FALSE(WriteFileAtomically(target.string(), [](std::ostream& out) {
    out << "half";
    out.setstate(std::ios::badbit);
  }));
  EXPECT_EQ(testing::ReadFileBytes(target), "old");
  // A render that runs out of memory half-way.
  EXPECT_FALSE(WriteFileAtomically(target.string(), [](std::ostream& out) {
    out << "half";
    throw std::bad_alloc();
  }));
  EXPECT_EQ(testing::ReadFileBytes(target), "old");

  EXPECT_TRUE(WriteFileAtomically(target.string(), [](std::ostream& out) { out << "new\r\n"; }));
  EXPECT_EQ(testing::ReadFileBytes(target), "new\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);

  EXPECT_FALSE(WriteFileAtomically((temp.Path() / "missing" / "out.txt").string(), [](std::ostream&) {}));
}

// Output of several megabytes in pieces of every size, from single
// characters to pieces larger than the stream's buffer, arrives whole.
TEST(AtomicFileReplaceTest, LargeOutputInPiecesOfAnySizeArrivesWhole) {
  testing::TempFolder temp;
  const fs::path target = temp.Path() / "big.csv";
  std::mt19937 random(3);
  std::string expected;
  EXPECT_TRUE(WriteFileAtomically(target.string(), [&](std::ostream& out) {
    while (expected.size() < (std::size_t{5} << 20)) {
      std::string piece(random() % 4 == 0 ? random() % (1 << 20) : random() % 3, ' ');
      for (char& c : piece) c = static_cast<char>(random());
      piece.size() == 1 ? out.put(piece[0]) : out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      expected += piece;
    }
  }));
  EXPECT_EQ(testing::ReadFileBytes(target), expected);
}

// Whatever the links lead to, they stay links: the file at the end of the
// chain is replaced or made, or nothing is written at all.
TEST(AtomicFileReplaceTest, WritesThroughLinksAndKeepsThem) {
  testing::TempFolder temp;
  const fs::path file = temp.Path() / "real.csv";
  testing::WriteFileBytes(file, "old");
  fs::create_directory(temp.Path() / "folder");
  std::error_code linkError;
  fs::create_symlink(file, temp.Path() / "absolute.csv", linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  fs::create_symlink("absolute.csv", temp.Path() / "chain.csv");
  fs::create_symlink("folder/new.csv", temp.Path() / "ahead.csv");
  fs::create_symlink("nodir/t.csv", temp.Path() / "dangling.csv");
  fs::create_symlink("loop.csv", temp.Path() / "loop.csv");
  const std::tuple<const char*, bool, fs::path> cases[] = {
      {"absolute.csv", true, file},
      {"chain.csv", true, file},
      {"ahead.csv", true, temp.Path() / "folder" / "new.csv"},
      {"dangling.csv", false, temp.Path() / "nodir" / "t.csv"},
      {"loop.csv", false, temp.Path() / "loop.csv"},
  };
  for (const auto& [name, writes, target] : cases) {
    SCOPED_TRACE(name);
    const fs::path link = temp.Path() / name;
    const fs::path before = fs::read_symlink(link);
    EXPECT_EQ(WriteFileAtomically(link.string(), [&](std::ostream& out) { out << name; }), writes);
    EXPECT_EQ(fs::read_symlink(link), before);
    if (writes) {
      EXPECT_EQ(testing::ReadFileBytes(target), name);
    }
  }
  EXPECT_FALSE(fs::exists(temp.Path() / "nodir"));
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 7);
}

}  // namespace
}  // namespace quillon
