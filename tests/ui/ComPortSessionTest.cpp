// The whole program against a logger on a real COM port, as a user works:
// Auto Open Com Port, Dump Logger data, All log data, Build Output File. It
// runs when QUILLON_E2E_OUTPUT names a folder (tools/wine-com-check.sh sets
// it, with the logger emulator on a Wine COM port) and copies the new raw log
// and the CSV file there, for comparison with the Linux build's conversion.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ColouredMessageBox.h"
#include "ui/MainWindow.h"

namespace quillon::uitest {
namespace {

namespace fs = std::filesystem;

// The one regular file of a folder, or an empty path.
fs::path OnlyFileIn(const fs::path& folder) {
  fs::path found;
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      found = entry.path();
      ++count;
    }
  }
  return count == 1 ? found : fs::path();
}

TEST(ComPortSessionTest, DownloadAndExportEverything) {
  const char* output = std::getenv("QUILLON_E2E_OUTPUT");
  if (output == nullptr || *output == '\0') GTEST_SKIP() << "no logger on a COM port (QUILLON_E2E_OUTPUT unset)";
  RunFolder folder(true, false);
  fs::create_directory("Rawdata");
  RecordedMessageBoxes boxes;
  ui::OwnerlessMessageBoxes ownerless;
  std::vector<std::string> opened;
  CommandRouter router{ownerless, std::make_unique<RecordingShell>(opened), MakeUserKeyStore()};
  ui::MainWindow window{router.State(), router};
  AttachWindows(router, window);
  WhileModal(window, [&] {
    Press(&window, ids::kAutoOpenComPort);
    ASSERT_TRUE(router.State().device.portOpened) << Describe(boxes.shown);
    // "Dump Logger data successful", then keep the logger's memory.
    boxes.answers = {MessageAnswer::kOk, MessageAnswer::kCancel};
    boxes.shown.clear();
    Press(&window, ids::kDumpLoggerData);
    ASSERT_GE(boxes.shown.size(), 2u) << Describe(boxes.shown);
    EXPECT_EQ(boxes.shown[0].text, "Dump Logger data successful");
    const fs::path rawLog = OnlyFileIn("Rawdata");
    ASSERT_FALSE(rawLog.empty()) << "one new raw log in Rawdata";
    EXPECT_EQ(fs::path(router.State().rawLogPath).filename(), rawLog.filename());
    EXPECT_GT(router.State().fixList.Size(), 0u);

    boxes.shown.clear();
    ClickRadio(&window, ids::kRangeAll);
    Press(&window, ids::kBuildOutputFile);
    const fs::path csv = OnlyFileIn("Output File");
    ASSERT_FALSE(csv.empty()) << Describe(boxes.shown);
    ASSERT_EQ(boxes.shown.size(), 1u) << Describe(boxes.shown);
    EXPECT_EQ(boxes.shown[0].text, "Output to ' " + csv.filename().string() + " ' file ");
    SaveScreenshot(&window, "com_port_session");

    fs::copy_file(rawLog, fs::path(output) / "rawlog.txt");
    fs::copy_file(csv, fs::path(output) / "output.csv");
  });
}

}  // namespace
}  // namespace quillon::uitest
