// "Build GPX File" on the real window, by its menu item and by Ctrl+G: the
// file it leaves in GPX/ holds the bytes quillon-convert writes for the same
// log and range, and it validates against the GPX schema.

#include <gtest/gtest.h>
#include <wx/uiaction.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/export/XmlSchemaCheck.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TimeZoneScope.h"
#include "tests/ui/EmulatorRig.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MainWindow.h"

namespace quillon::uitest {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct GpxApp {
  std::vector<std::string> opened;
  ui::OwnerlessMessageBoxes ownerless;
  CommandRouter router{ownerless, std::make_unique<RecordingShell>(opened), MakeUserKeyStore()};
  ui::MainWindow window{router.State(), router};
  GpxApp() { AttachWindows(router, window); }
};

struct GpxCase {
  const char* name;
  int rangeId;
  bool useLocalTime;
  bool byShortcut;
  // The converter's range arguments; "TAG" stands for the tag box's text.
  std::vector<std::string> convertArgs;
  std::size_t trackPoints;
};

std::size_t TrackPoints(const std::string& gpx) {
  std::size_t n = 0;
  for (std::size_t at = gpx.find("<trkpt "); at != std::string::npos; at = gpx.find("<trkpt ", at + 1)) ++n;
  return n;
}

TEST(GpxExportTest, BuildGpxFileWritesWhatTheConverterWritesForTheSameRange) {
  testing::TimeZoneScope zone("Asia/Taipei");
  RunFolder folder(true, true);
  RecordedMessageBoxes boxes;
  GpxApp app;
  const std::string gpxName = "20080312064506_LogData_1234567.gpx";
  const fs::path built = fs::path(folder.Path()) / "GPX" / gpxName;
  const bool validate = !quillon::testing::GpxSchemaPath().empty() && quillon::testing::HaveXmllint();
  // 14:00 to 14:59 in Taipei is the log's hour in UTC (06); in UTC it selects nothing.
  const GpxCase cases[] = {
      {"all", ids::kRangeAll, false, false, {"--all"}, 72},
      {"tag by Ctrl+G", ids::kRangeByTag, false, true, {"--tag", "TAG"}, 24},
      {"local date", ids::kRangeByDate, true, false,
       {"--from", "2008,03,12,14", "--to", "2008,03,12,14", "--local-time"}, 72},
      {"utc date", ids::kRangeByDate, false, false, {"--from", "2008,03,12,14", "--to", "2008,03,12,14"}, 0},
  };
  WhileModal(app.window, [&] {
    const std::string dateBoxes[] = {"2008", "03", "12", "14", "2008", "03", "12", "14"};
    for (int i = 0; i < 8; ++i) app.window.SetItemText(ids::kFromYear + i, dateBoxes[i]);
    Pick(&app.window, ids::kTagBox, 1);
    const std::string tagText = app.window.GetItemText(ids::kTagBox);
    ASSERT_FALSE(tagText.empty());

    for (const GpxCase& c : cases) {
      SCOPED_TRACE(c.name);
      if (c.byShortcut && !SimulatedInputArrives()) continue;  // the menu item cases still run
      if (c.useLocalTime && !kChildZoneFollowsTz) continue;      // the converter's zone is UTC here
      boxes.shown.clear();
      app.opened.clear();
      ClickRadio(&app.window, c.rangeId);
      app.window.SetChecked(ids::kUseLocalTime, c.useLocalTime);
      if (c.byShortcut) {
        app.window.Raise();
        app.window.FindWindow(ids::kExit)->SetFocus();
        Pump(100);
        wxUIActionSimulator keyboard;
        keyboard.Char('G', wxMOD_CONTROL);
        Pump(200);
      } else {
        wxCommandEvent menu(wxEVT_MENU, ids::kBuildGpxFile);
        app.window.HandleWindowEvent(menu);
      }
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].text, "Output to ' " + gpxName + " ' file ");
      EXPECT_EQ(boxes.shown[0].caption, "Info");
      EXPECT_EQ(app.opened, std::vector<std::string>{gpxName});
      EXPECT_EQ(fs::current_path(), fs::path(folder.Path())) << "the export left its folder";
      const std::string gui = ReadBytes(built);
      EXPECT_EQ(TrackPoints(gui), c.trackPoints);

      const std::string cliOutput = folder.Path() + "/converted.gpx";
      std::vector<std::string> command = {QUILLON_CONVERT, folder.Path() + "/Rawdata/" + kSampleRawLogName,
                                          "--format", "gpx"};
      for (const std::string& arg : c.convertArgs) command.push_back(arg == "TAG" ? tagText : arg);
      command.insert(command.end(), {"-o", cliOutput});
      const fs::path out = fs::path(folder.Path()) / "convert.out";
      const fs::path err = fs::path(folder.Path()) / "convert.err";
      ASSERT_EQ(RunProgram(command, out, err), 0) << ReadBytes(err.string());
      EXPECT_TRUE(gui == ReadBytes(cliOutput)) << "the window's GPX file differs from the converter's";
      fs::remove(cliOutput);
      if (validate) {
        EXPECT_EQ(quillon::testing::GpxSchemaErrors(gui, c.name), "");
      }
    }
  });
  if (!validate) GTEST_SKIP() << "no GPX schema or no xmllint: the documents were compared, not validated";
}

}  // namespace
}  // namespace quillon::uitest
