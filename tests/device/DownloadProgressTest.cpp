#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/DownloadProgress.h"
#include "tests/support/TempFolder.h"

namespace quillon {
namespace {

void Append(const std::filesystem::path& file, std::size_t bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::app);
  out << std::string(bytes, 'x');
}

TEST(GrowingFileWatch, FollowsTheFileThatGrowsWhateverItsName) {
  testing::TempFolder temp("quillon-progress-");
  const std::filesystem::path folder = temp.Path();
  Append(folder / "20080312064506_Rawdata_1.txt", 5000000);  // an earlier log, untouched
  Append(folder / "notes.txt", 100);

  GrowingFileWatch watch(folder);
  EXPECT_EQ(watch.Received(), 0u);
  const std::filesystem::path part = folder / ".20260101120000_Rawdata_1.txt.part";
  Append(part, 1200);
  EXPECT_EQ(watch.Received(), 1200u);
  Append(folder / "notes.txt", 300);  // a file that grows less is not the download
  Append(part, 800);
  EXPECT_EQ(watch.Received(), 2000u);
  // At the end the library renames its file: no step back, none forward.
  std::filesystem::rename(part, folder / "20260101120000_Rawdata_1.txt");
  EXPECT_EQ(watch.Received(), 2000u);
  std::filesystem::remove_all(folder);
  EXPECT_EQ(watch.Received(), 2000u) << "a folder that went keeps the last answer";

  GrowingFileWatch nowhere(folder / "missing");
  EXPECT_EQ(nowhere.Received(), 0u);
}

TEST(FormatReceived, DecimalUnitsAndARateOnceASecondHasPassed) {
  struct Case {
    std::uintmax_t bytes;
    double seconds;
    const char* text;
  };
  const std::vector<Case> cases = {
      {0, 0.2, "Received 0 bytes"},
      {999, 0.9, "Received 999 bytes"},
      {1000, 1.0, "Received 1.0 kB at 1.0 kB/s"},
      {512300, 20.0, "Received 512.3 kB at 25.6 kB/s"},
      {2300000, 200.0, "Received 2.3 MB at 11.5 kB/s"},
      {37000000, 359.0, "Received 37.0 MB at 103.1 kB/s"},
      {5000000, 2.0, "Received 5.0 MB at 2.5 MB/s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatReceived(c.bytes, c.seconds), c.text);
  }
}

}  // namespace
}  // namespace quillon
