// "Dump Logger data" against the logger emulator: the new raw log, its
// reload into the Main Window, the erase question, and a logger unplugged in
// the middle of the download.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/combobox.h>

#include "core/ControlIds.h"
#include "tests/ui/EmulatorRig.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon::uitest {
namespace {

namespace fs = std::filesystem;

std::string LocalStamp(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[16];
  std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
  return stamp;
}

// Every entry of Rawdata, hidden ones included.
std::set<std::string> RawdataEntries() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator("Rawdata")) names.insert(entry.path().filename().string());
  return names;
}

std::string NewEntry(const std::set<std::string>& before) {
  std::set<std::string> now = RawdataEntries();
  for (const std::string& name : before) now.erase(name);
  if (now.size() != 1) return "";
  return *now.begin();
}

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> DateFields(ui::MainWindow& window) {
  std::vector<std::string> fields;
  for (int id = ids::kFromYear; id <= ids::kToHour; ++id) fields.push_back(window.GetItemText(id));
  return fields;
}

void ExpectBox(const ui::MessageBoxRequest& box, const std::string& text, const std::string& caption, bool owned) {
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, caption);
  EXPECT_EQ(box.owned, owned) << box.text;
}

constexpr int kFixes = 3000;
constexpr char kSerial[] = "2718281";

// The synthetic track of 3000 fixes starts 2008-12-31 23:58:20 UTC and ends
// 2009-01-01 04:08:15 UTC.
const std::vector<std::string> kTrackDateFields = {"2008", "12", "31", "23", "2009", "01", "01", "04"};

// Its tagged runs carry tags 1 to 100, 45 included: "no tag" is a mark of its
// own, not the tag number 45.
std::vector<std::string> TrackTagItems() {
  std::vector<std::string> items;
  for (int tag = 1; tag <= 100; ++tag) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", tag);
    items.push_back(text);
  }
  return items;
}

// Downloads in a session opened by the automatic scan; answers the erase
// question with eraseAnswer. Returns the new file's name ("" when there is
// not exactly one new entry in Rawdata).
std::string Download(LoggerSession& session, MessageAnswer eraseAnswer, std::time_t& before, std::time_t& after) {
  const std::set<std::string> entriesBefore = RawdataEntries();
  session.boxes.answers = {MessageAnswer::kOk, eraseAnswer};
  before = std::time(nullptr);
  Press(&session.window, ids::kDumpLoggerData);
  after = std::time(nullptr);
  return NewEntry(entriesBefore);
}

TEST(EmulatorDownloadTest, NewRawLogIsReloadedAndTheLoggerErasedAfterOk) {
  testing::TimeZoneScope zone("QLT-5:45");
  LoggerSession session(6, {"--fixes", std::to_string(kFixes), "--serial", kSerial});
  ASSERT_TRUE(session.emulator.Ready());
  ui::MainWindow& window = session.window;
  WhileModal(window, [&] {
    Press(&window, ids::kAutoOpenComPort);
    ASSERT_TRUE(session.router.State().device.portOpened);
    std::time_t before = 0, after = 0;
    const std::string name = Download(session, MessageAnswer::kOk, before, after);

    const std::regex pattern(std::string("(\\d{14})_Rawdata_") + kSerial + "\\.txt");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(name, parts, pattern)) << "new entry in Rawdata: \"" << name << "\"";
    EXPECT_GE(parts[1].str(), LocalStamp(before));
    EXPECT_LE(parts[1].str(), LocalStamp(after));

    const std::vector<std::string> lines = Lines(fs::path("Rawdata") / name);
    EXPECT_EQ(lines.size(), 2u * kFixes);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("---,$GPGGA,235820.000,", 0), 0u) << lines[0];

    const std::string path = std::string("Rawdata") + kPathSeparator + name;
    EXPECT_EQ(session.router.State().rawLogPath, path);
    EXPECT_EQ(window.GetItemText(ids::kFileNameLabel), path);
    EXPECT_EQ(DateFields(window), kTrackDateFields);
    auto* tagBox = dynamic_cast<wxComboBox*>(window.FindWindow(ids::kTagBox));
    ASSERT_NE(tagBox, nullptr);
    std::vector<std::string> tags;
    for (unsigned i = 0; i < tagBox->GetCount(); ++i) tags.push_back(tagBox->GetString(i).utf8_string());
    EXPECT_EQ(tags, TrackTagItems());

    ASSERT_EQ(session.boxes.shown.size(), 3u) << Describe(session.boxes.shown);
    ExpectBox(session.boxes.shown[0], "Dump Logger data successful", "API-return", true);
    ExpectBox(session.boxes.shown[1], "DO you want to erase logger data now?", "info", true);
    EXPECT_EQ(session.boxes.shown[1].buttons, MessageButtons::kOkCancel);
    ExpectBox(session.boxes.shown[2], "Erase database successful", "API-return", false);
    session.boxes.shown.clear();

    Press(&window, ids::kReadMemoryUsedStatus);
    EXPECT_EQ(window.GetItemText(ids::kMemoryUsedLabel), "Memory Used Size = 0 Bytes");
    EXPECT_EQ(window.GetItemText(ids::kFreeMemoryLabel), "Free Memory Size = 3997696 Bytes");
    SaveScreenshot(&window, "e2e_main_window_downloaded");
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

TEST(EmulatorDownloadTest, ProgressWindowTellsWhatHasArrived) {
  // At the real line speed the download takes long enough to watch.
  LoggerSession session(6, {"--fixes", "1500", "--baud", "115200"});
  ASSERT_TRUE(session.emulator.Ready());
  ui::MainWindow& window = session.window;
  WhileModal(window, [&] {
    Press(&window, ids::kAutoOpenComPort);
    ASSERT_TRUE(session.router.State().device.portOpened);
    std::vector<std::string> received;
    window.CallAfter([&] {
      wxDialog* progress = nullptr;
      for (int i = 0; i < 300 && progress == nullptr; ++i) {
        Pump(10);
        progress = FindDialog("GPS Data Logger - Working");
      }
      for (int i = 0; i < 400 && progress != nullptr && FindDialog("GPS Data Logger - Working") == progress; ++i) {
        for (wxWindow* child : progress->GetChildren()) {
          const std::string label = child->GetLabel().utf8_string();
          if (label.rfind("Received ", 0) == 0 && (received.empty() || received.back() != label)) {
            received.push_back(label);
          }
        }
        if (received.size() == 3) SaveScreenshot(progress, "download_progress");
        Pump(50);
      }
    });
    std::time_t before = 0, after = 0;
    const std::string name = Download(session, MessageAnswer::kCancel, before, after);
    EXPECT_FALSE(name.empty());
    ASSERT_GE(received.size(), 3u) << "the amount grows while the download runs";
    EXPECT_EQ(received.front(), "Received 0 bytes");
    EXPECT_NE(received.back().find(" at "), std::string::npos) << received.back();
    ExpectBox(session.boxes.shown.at(0), "Dump Logger data successful", "API-return", true);
  });
}

TEST(EmulatorDownloadTest, CancelAtTheEraseQuestionKeepsTheLoggerMemory) {
  LoggerSession session(6, {"--fixes", "2000"});
  ASSERT_TRUE(session.emulator.Ready());
  ui::MainWindow& window = session.window;
  WhileModal(window, [&] {
    Press(&window, ids::kAutoOpenComPort);
    std::time_t before = 0, after = 0;
    const std::string name = Download(session, MessageAnswer::kCancel, before, after);
    EXPECT_TRUE(std::regex_match(name, std::regex("\\d{14}_Rawdata_123456\\.txt"))) << name;
    ASSERT_EQ(session.boxes.shown.size(), 2u) << Describe(session.boxes.shown);
    ExpectBox(session.boxes.shown[1], "DO you want to erase logger data now?", "info", true);
    session.boxes.shown.clear();

    Press(&window, ids::kReadMemoryUsedStatus);
    EXPECT_EQ(window.GetItemText(ids::kMemoryUsedLabel), "Memory Used Size = 64000 Bytes");
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

TEST(EmulatorDownloadTest, UnpluggedLoggerEndsTheDownloadWithoutAFile) {
  LoggerSession session(6, {"--fixes", std::to_string(kFixes), "--unplug-after", "40000"});
  ASSERT_TRUE(session.emulator.Ready());
  ui::MainWindow& window = session.window;
  WhileModal(window, [&] {
    Press(&window, ids::kAutoOpenComPort);
    ASSERT_TRUE(session.router.State().device.portOpened);
    const std::string fileLabel = window.GetItemText(ids::kFileNameLabel);
    const std::vector<std::string> dateFields = DateFields(window);
    const std::set<std::string> entriesBefore = RawdataEntries();

    const auto started = std::chrono::steady_clock::now();
    Press(&window, ids::kDumpLoggerData);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::seconds(5));

    ASSERT_EQ(session.boxes.shown.size(), 1u) << Describe(session.boxes.shown);
    ExpectBox(session.boxes.shown[0], "Device not report ", "API-return", true);
    session.boxes.shown.clear();
    EXPECT_EQ(RawdataEntries(), entriesBefore) << "no file, whole or partial, is left";
    EXPECT_EQ(window.GetItemText(ids::kFileNameLabel), fileLabel);
    EXPECT_EQ(DateFields(window), dateFields);
    EXPECT_TRUE(session.emulator.ExitsWithin(2000)) << "the emulator was to unplug itself";
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

}  // namespace
}  // namespace quillon::uitest
