#include "platform/AtomicFileReplace.h"

#include <gtest/gtest.h>

#include <filesystem>

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

  EXPECT_TRUE(WriteFileAtomically(target.string(), [](std::ostream& out) { out << "new\r\n"; }));
  EXPECT_EQ(testing::ReadFileBytes(target), "new\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);

  EXPECT_FALSE(WriteFileAtomically((temp.Path() / "missing" / "out.txt").string(), [](std::ostream&) {}));
}

TEST(AtomicFileReplaceTest, WritesThroughALinkAndKeepsIt) {
  testing::TempFolder temp;
  const fs::path file = temp.Path() / "real.csv";
  const fs::path link = temp.Path() / "link.csv";
  testing::WriteFileBytes(file, "old");
  fs::create_symlink(file, link);
  EXPECT_TRUE(WriteFileAtomically(link.string(), [](std::ostream& out) { out << "new"; }));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testing::ReadFileBytes(file), "new");
}

}  // namespace
}  // namespace quillon
