#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <functional>

#include "export/CsvExport.h"
#include "export/CsvWriter.h"
#include "export/GpxExport.h"
#include "export/KmlExport.h"
#include "export/LocrExport.h"
#include "export/RangeSelection.h"
#include "export/TrackmakerExport.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::FakeShell;
using testing::FakeWindowView;
using testing::ReadFileBytes;
using testing::ShownMessage;

const std::string kCsvName = "20080307140509_LogData_123456.csv";
const std::string kKmlName = "20080307140509_GoogleEarth_123456.kml";
const std::string kOutputTo = "Output to ' " + kCsvName + " ' file ";
const std::string kCsvOpenFailure = "Can't open Output File,Please close file\xEF\xBC\x81\xEF\xBC\x81";
const std::string kEarthDownload = "Please Download Google Earth from \"http://earth.google.com/download-earth.html\" ";

using testing::Api;
using testing::Info;

// Makes file writes beyond `bytes` fail, as a full disk would.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int);
};

// Files in a folder whose names start with '.': left-over temporary files.
std::vector<std::string> HiddenFiles(const fs::path& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().filename().string().front() == '.') out.push_back(entry.path().filename().string());
  }
  return out;
}

class ExportCommandsTest : public ::testing::Test {
 protected:
  ExportCommandsTest() : cwd_(temp_.Path()) {
    base_ = GetWorkingDirectory();
    state_.logStamp = "20080307140509";
    state_.logSerial = 123456;
    FixRecord a = testing::Fix("121.509463", 'W', "25.052056", 'N');
    FixRecord b = testing::Fix("121.509500", 'W', "25.052100", 'N');
    a.sequence = 1;
    b.sequence = 2;
    testing::SetUtc(a, 2008, 3, 7, 14, 5, 9);
    testing::SetUtc(b, 2008, 3, 7, 14, 5, 14);
    state_.fixList = testing::ListBuilder().Add(a, "$GPRMC,a*00", "$GPGGA,a*00").Add(b, "$GPRMC,b*00", "$GPGGA,b*00").Build();
  }

  void TearDown() override { EXPECT_EQ(GetWorkingDirectory(), base_) << "working directory not restored"; }

  std::string ExpectedCsv() {
    OnRangeAll(state_);
    FixList copy;
    for (const auto& r : state_.fixList.Records()) AppendSelectedCopy(copy, state_.fixList, r);
    std::ostringstream out;
    WriteCsv(out, copy, false);
    return out.str();
  }

  testing::TempFolder temp_;
  testing::ScopedWorkingDirectory cwd_;
  std::string base_;
  AppState state_;
  FakeWindowView view_;
  FakeShell shell_;
  testing::FakeKeyStore keys_;
};

TEST_F(ExportCommandsTest, EveryExportRefusesBeforeARangeIsChosen) {
  const std::pair<const char*, std::function<void()>> commands[] = {
      {"csv", [&] { OnBuildOutputFile(state_, view_, shell_); }},
      {"gpx", [&] { OnBuildGpxFile(state_, view_, shell_); }},
      {"kml", [&] { OnOutputGoogleEarth(state_, view_, shell_); }},
      {"trackmaker", [&] { OnOutputTrackmaker(state_, view_); }},
      {"locr", [&] { OnOutputLocr(state_, view_, shell_, keys_); }},
  };
  for (const auto& [name, run] : commands) {
    SCOPED_TRACE(name);
    view_.messages.clear();
    run();
    EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info("Please choose 'log data range' ")}));
  }
  EXPECT_TRUE(fs::is_empty(temp_.Path()));
  EXPECT_TRUE(shell_.opened.empty());
  EXPECT_TRUE(keys_.keys.empty());
}

TEST_F(ExportCommandsTest, EveryExportEndsSilentlyOnAnEmptyFixList) {
  state_.fixList.Free();
  OnRangeAll(state_);
  OnBuildOutputFile(state_, view_, shell_);
  OnBuildGpxFile(state_, view_, shell_);
  OnOutputGoogleEarth(state_, view_, shell_);
  OnOutputTrackmaker(state_, view_);
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_TRUE(fs::is_empty(temp_.Path()));
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(ExportCommandsTest, RefusedDatesWriteNothing) {
  OnRangeByDate(state_);
  OnBuildOutputFile(state_, view_, shell_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{{"Please set search date", "info", MessageButtons::kOk, true}}));
  EXPECT_TRUE(fs::is_empty(temp_.Path()));
}

TEST_F(ExportCommandsTest, CsvLandsInItsFolderAndIsOpenedFromThere) {
  const std::string expected = ExpectedCsv();
  OnBuildOutputFile(state_, view_, shell_);
  EXPECT_EQ(ReadFileBytes(temp_.Path() / "Output File" / kCsvName), expected);
  ASSERT_EQ(shell_.opened, (std::vector<std::string>{kCsvName}));
  EXPECT_EQ(fs::path(shell_.folders[0]), temp_.Path() / "Output File");
  EXPECT_TRUE(shell_.fileExisted[0]);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info(kOutputTo)}));
  EXPECT_TRUE(HiddenFiles(temp_.Path() / "Output File").empty());
}

TEST_F(ExportCommandsTest, CsvReportsOnlyTheShellsResourceFailure) {
  const std::pair<int, std::vector<ShownMessage>> cases[] = {
      {0, {Api("Please Download Google Earth from \"http://earth.google.com/\" "), Info(kOutputTo)}},
      {2, {Info(kOutputTo)}},  {29, {Info(kOutputTo)}}, {30, {Info(kOutputTo)}},
      {31, {Info(kOutputTo)}}, {42, {Info(kOutputTo)}},
  };
  OnRangeAll(state_);
  for (const auto& [result, messages] : cases) {
    SCOPED_TRACE(result);
    view_.messages.clear();
    shell_.result = result;
    OnBuildOutputFile(state_, view_, shell_);
    EXPECT_EQ(view_.messages, messages);
  }
}

TEST_F(ExportCommandsTest, CsvReplacesAnEarlierFile) {
  fs::create_directory(temp_.Path() / "Output File");
  testing::WriteFileBytes(temp_.Path() / "Output File" / kCsvName, std::string(5000, 'x'));
  const std::string expected = ExpectedCsv();
  OnBuildOutputFile(state_, view_, shell_);
  EXPECT_EQ(ReadFileBytes(temp_.Path() / "Output File" / kCsvName), expected);
}

TEST_F(ExportCommandsTest, CsvThatCannotReplaceItsTargetKeepsTheOldOne) {
  // A folder in the target's place cannot be replaced by a file.
  const fs::path target = temp_.Path() / "Output File" / kCsvName;
  fs::create_directories(target);
  testing::WriteFileBytes(target / "kept.txt", "earlier");
  OnRangeAll(state_);
  OnBuildOutputFile(state_, view_, shell_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info(kCsvOpenFailure)}));
  EXPECT_TRUE(shell_.opened.empty());
  EXPECT_EQ(ReadFileBytes(target / "kept.txt"), "earlier");
  EXPECT_TRUE(HiddenFiles(temp_.Path() / "Output File").empty());
}

TEST_F(ExportCommandsTest, FailedWriteLeavesTheEarlierFileWhole) {
  const fs::path target = temp_.Path() / "Output File" / kCsvName;
  fs::create_directory(target.parent_path());
  testing::WriteFileBytes(target, "earlier content");
  OnRangeAll(state_);
  {
    ScopedFileSizeLimit limit(64);
    OnBuildOutputFile(state_, view_, shell_);
  }
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info(kCsvOpenFailure)}));
  EXPECT_EQ(ReadFileBytes(target), "earlier content");
  EXPECT_TRUE(HiddenFiles(target.parent_path()).empty());
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(ExportCommandsTest, OutputFolderThatCannotBeMadeLeavesTheFileInTheWorkingDirectory) {
  testing::WriteFileBytes(temp_.Path() / "Output File", "a file in the folder's place");
  OnRangeAll(state_);
  OnBuildOutputFile(state_, view_, shell_);
  EXPECT_TRUE(fs::is_regular_file(temp_.Path() / kCsvName));
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info(kOutputTo)}));
}

TEST_F(ExportCommandsTest, KmlReportsTheShellResult) {
  const std::pair<int, std::vector<ShownMessage>> cases[] = {
      {2, {Api("URL error")}},      {30, {Api("Application busy")}}, {29, {Api(kEarthDownload)}},
      {31, {Api(kEarthDownload)}}, {0, {}},                          {5, {}},
      {42, {}},
  };
  OnRangeAll(state_);
  for (const auto& [result, messages] : cases) {
    SCOPED_TRACE(result);
    view_.messages.clear();
    shell_.result = result;
    OnOutputGoogleEarth(state_, view_, shell_);
    EXPECT_EQ(view_.messages, messages);
  }
  EXPECT_TRUE(fs::is_regular_file(temp_.Path() / "GoogleEarth" / kKmlName));
  ASSERT_FALSE(shell_.opened.empty());
  EXPECT_EQ(shell_.opened.back(), kKmlName);
  EXPECT_EQ(fs::path(shell_.folders.back()), temp_.Path() / "GoogleEarth");
}

TEST_F(ExportCommandsTest, KmlThatCannotBeCreatedIsNotOpened) {
  fs::create_directories(temp_.Path() / "GoogleEarth" / kKmlName / "x");
  OnRangeAll(state_);
  OnOutputGoogleEarth(state_, view_, shell_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info("Can not open save file")}));
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(ExportCommandsTest, TrackmakerAlwaysSaysWhereItWrote) {
  OnRangeAll(state_);
  OnOutputTrackmaker(state_, view_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info("Output to ' Trackmaker.txt ' file")}));
  EXPECT_EQ(ReadFileBytes(temp_.Path() / "TrackMaker" / "Trackmaker.txt"),
            "Datum,WGS84,WGS84,0,0,0,0,0\r\nTP,D,-121.509463,25.052056,7/3/2008,14:5:9,1\n"
            "TP,D,-121.509500,25.052100,7/3/2008,14:5:14,0\n");

  view_.messages.clear();
  fs::remove(temp_.Path() / "TrackMaker" / "Trackmaker.txt");
  fs::create_directories(temp_.Path() / "TrackMaker" / "Trackmaker.txt" / "x");
  OnOutputTrackmaker(state_, view_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info("Can not output Trackmaker file"),
                                                       Info("Output to ' Trackmaker.txt ' file")}));
  EXPECT_TRUE(shell_.opened.empty());
}

// Records the working directory in which every message box is shown.
class FolderRecordingView : public FakeWindowView {
 public:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override {
    shownIn.push_back({text, GetWorkingDirectory()});
    return FakeWindowView::ShowMessage(text, caption, buttons);
  }
  std::vector<std::pair<std::string, std::string>> shownIn;
};

// The CSV, GPX and KML exports report from inside their output folder; TrackMaker
// and locr leave it before their "Output to" message (the locr hand-off runs
// from the working directory too), but report a file they cannot create from
// inside it.
TEST_F(ExportCommandsTest, EachExportReportsFromTheFolderItsStepsSay) {
  using Shown = std::vector<std::pair<std::string, std::string>>;
  const std::string base = temp_.Path().string();
  const std::string csvFolder = (temp_.Path() / "Output File").string();
  const std::string kmlFolder = (temp_.Path() / "GoogleEarth").string();
  const std::string gpxFolder = (temp_.Path() / "GPX").string();
  const std::string gpxName = "20080307140509_LogData_123456.gpx";
  const std::string trackmakerFolder = (temp_.Path() / "TrackMaker").string();
  const std::string locrFolder = (temp_.Path() / "locr").string();
  const std::string locrName = "20080307140509_locr_123456.txt";
  const std::string locrDownload = "Please download locr from \"http://www.locr.com/\" ";
  struct Case {
    const char* name;
    fs::path blockedTarget;  // a folder in the file's place makes the write fail
    std::function<void(FolderRecordingView&)> run;
    Shown expected;
  };
  const Case cases[] = {
      {"csv written", {}, [&](FolderRecordingView& v) { OnBuildOutputFile(state_, v, shell_); },
       {{"Please Download Google Earth from \"http://earth.google.com/\" ", csvFolder}, {kOutputTo, csvFolder}}},
      {"csv not created", fs::path("Output File") / kCsvName,
       [&](FolderRecordingView& v) { OnBuildOutputFile(state_, v, shell_); }, {{kCsvOpenFailure, csvFolder}}},
      // The fixture's fixes have no position text, so neither goes into the track.
      {"gpx written", {}, [&](FolderRecordingView& v) { OnBuildGpxFile(state_, v, shell_); },
       {{"Output to ' " + gpxName + " ' file \n2 fixes without a usable position left out", gpxFolder}}},
      {"gpx not created", fs::path("GPX") / gpxName,
       [&](FolderRecordingView& v) { OnBuildGpxFile(state_, v, shell_); },
       {{"Can't open GPX File,Please close file\xEF\xBC\x81\xEF\xBC\x81", gpxFolder}}},
      {"kml written", {}, [&](FolderRecordingView& v) { OnOutputGoogleEarth(state_, v, shell_); },
       {{kEarthDownload, kmlFolder}}},
      {"kml not created", fs::path("GoogleEarth") / kKmlName,
       [&](FolderRecordingView& v) { OnOutputGoogleEarth(state_, v, shell_); },
       {{"Can not open save file", kmlFolder}}},
      {"trackmaker written", {}, [&](FolderRecordingView& v) { OnOutputTrackmaker(state_, v); },
       {{"Output to ' Trackmaker.txt ' file", base}}},
      {"trackmaker not created", fs::path("TrackMaker") / "Trackmaker.txt",
       [&](FolderRecordingView& v) { OnOutputTrackmaker(state_, v); },
       {{"Can not output Trackmaker file", trackmakerFolder}, {"Output to ' Trackmaker.txt ' file", base}}},
      {"locr written", {}, [&](FolderRecordingView& v) { OnOutputLocr(state_, v, shell_, keys_); },
       {{"Output to ' " + locrName + " ' file ", base}, {locrDownload, base}}},
      {"locr not created", fs::path("locr") / locrName,
       [&](FolderRecordingView& v) { OnOutputLocr(state_, v, shell_, keys_); },
       {{"Can not output Locr file", locrFolder},
        {"Output to ' " + locrName + " ' file ", base},
        {locrDownload, base}}},
  };
  OnRangeAll(state_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.blockedTarget.empty()) {
      fs::remove_all(temp_.Path() / c.blockedTarget);  // the file an earlier case wrote
      fs::create_directories(temp_.Path() / c.blockedTarget / "x");
    }
    shell_.result = c.name == std::string("csv written") ? kShellOutOfResources : kShellNoAssociation;
    FolderRecordingView view;
    c.run(view);
    EXPECT_EQ(view.shownIn, c.expected);
    EXPECT_EQ(GetWorkingDirectory(), base);
    if (!c.blockedTarget.empty()) fs::remove_all(temp_.Path() / c.blockedTarget);
  }
}

}  // namespace
}  // namespace quillon
