#include "export/OutputFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

TEST(OutputFolderTest, EntersAndLeavesEvenBelowAVeryLongPath) {
  testing::TempFolder temp;
  fs::path deep = temp.Path();
#ifdef _WIN32
  // Windows keeps a working directory to MAX_PATH characters.
  const int depth = 3;
#else
  const int depth = 8;
#endif
  for (int i = 0; i < depth; ++i) deep /= std::string(60, static_cast<char>('a' + i));
  fs::create_directories(deep);
  testing::ScopedWorkingDirectory cwd(deep);
  const std::string start = GetWorkingDirectory();
  ASSERT_GT(start.size(), depth * 60u);

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
  const std::string root = fs::path(start).root_path().string();
  {
    OutputFolderScope scope(kKmlFolder);
    EXPECT_EQ(fs::path(GetWorkingDirectory()), temp.Path() / "GoogleEarth");
    scope.Leave();
    EXPECT_EQ(GetWorkingDirectory(), start);
    SetWorkingDirectory(root);
  }
  EXPECT_EQ(GetWorkingDirectory(), root);  // a second Leave does nothing
  SetWorkingDirectory(start);
  try {
    OutputFolderScope scope(kLocrFolder);
    throw std::runtime_error("writer failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetWorkingDirectory(), start);
  EXPECT_TRUE(fs::is_directory(temp.Path() / "locr"));
}

}  // namespace
}  // namespace quillon
