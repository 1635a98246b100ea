#include "platform/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/platform/WorkingDirectoryTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST(WorkingDirectoryTest, ReadsAndSetsPathsLongerThanAnyFixedBuffer) {
  testing::TempFolder temp;
  fs::path deep = temp.Path();
  for (int i = 0; i < 20; ++i) deep /= std::string(100, static_cast<char>('a' + i));
  fs::create_directories(deep);
  ASSERT_GT(deep.string().size(), 2000u);

  const std::string start = GetWorkingDirectory();
#ifdef _WIN32
  // Windows holds no working directory longer than MAX_PATH: refused, and
  // the old one stays.
  EXPECT_FALSE(SetWorkingDirectory(deep.string()));
  EXPECT_EQ(GetWorkingDirectory(), start);
#else
  ASSERT_TRUE(SetWorkingDirectory(deep.string()));
  EXPECT_EQ(GetWorkingDirectory(), deep.string());
  ASSERT_TRUE(SetWorkingDirectory(start));
  EXPECT_EQ(GetWorkingDirectory(), start);
#endif
}

TEST(WorkingDirectoryTest, SettingAMissingFolderFailsAndChangesNothing) {
  const std::string start = GetWorkingDirectory();
  EXPECT_FALSE(SetWorkingDirectory("/no/such/folder/anywhere"));
  EXPECT_FALSE(SetWorkingDirectory(""));
  EXPECT_EQ(GetWorkingDirectory(), start);
}

TEST(WorkingDirectoryTest, CreateFolderSaysWhetherItMadeOne) {
  testing::TempFolder temp;
  const fs::path folder = temp.Path() / "Output File";
  EXPECT_TRUE(CreateFolder(folder.string()));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_FALSE(CreateFolder(folder.string()));  // exists already
  EXPECT_FALSE(CreateFolder((temp.Path() / "a" / "b").string()));
}

TEST(WorkingDirectoryTest, RemovedWorkingDirectoryReadsAsEmpty) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows does not remove a process's working directory";
#endif
  const std::string start = GetWorkingDirectory();
  {
    testing::TempFolder temp;
    ASSERT_TRUE(SetWorkingDirectory(temp.Path().string()));
  }
  EXPECT_EQ(GetWorkingDirectory(), "");
  ASSERT_TRUE(SetWorkingDirectory(start));
}

}  // namespace
}  // namespace quillon
