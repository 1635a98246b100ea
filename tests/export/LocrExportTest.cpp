#include "export/LocrExport.h"

#include <gtest/gtest.h>

#include "export/RangeSelection.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::FakeKeyStore;
using testing::FakeShell;
using testing::FakeWindowView;
using testing::ShownMessage;

const std::string kLocrName = "20080307140509_locr_123456.txt";
const std::string kRmc = "$GPRMC,140509.000,A,2503.1234,N,12130.5678,W,10.0,54.7,070308,,,A*73";

using testing::Api;
using testing::Info;
const ShownMessage kOutputTo = Info("Output to ' " + kLocrName + " ' file ");
const ShownMessage kDownload = Api("Please download locr from \"http://www.locr.com/\" ");

std::string StoredString(const std::string& text) { return text + '\0'; }

class LocrExportTest : public ::testing::Test {
 protected:
  LocrExportTest() : cwd_(temp_.Path()) {
    base_ = GetWorkingDirectory();
    state_.logStamp = "20080307140509";
    state_.logSerial = 123456;
    state_.fixList = testing::ListBuilder().Add(testing::Fix("121.509463", 'W', "25.052056", 'N'), kRmc).Build();
    OnRangeAll(state_);
  }
  void TearDown() override { EXPECT_EQ(GetWorkingDirectory(), base_); }

  FakeKeyStore::Key& LocrKey() { return keys_.keys[kLocrClientKey]; }
  void SetExecutionFile(const std::string& path) { LocrKey()["ExecutionFile"] = {false, StoredString(path)}; }

  testing::TempFolder temp_;
  testing::ScopedWorkingDirectory cwd_;
  std::string base_;
  AppState state_;
  FakeWindowView view_;
  FakeShell shell_;
  FakeKeyStore keys_;
};

TEST_F(LocrExportTest, WithoutTheClientTheFileAndTheSettingsAreStillWritten) {
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "locr" / kLocrName),
            "Datum,WGS84,WGS84,0,0,0,0,0\r\n" + kRmc + "\n");
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo, kDownload}));

  const std::string folder = StoredString((temp_.Path() / kLocrClientFolder).string());
  EXPECT_EQ(LocrKey()["DirectoryGpsFile"].bytes, folder);
  EXPECT_EQ(LocrKey()["DirectoryPhotos"].bytes, folder);
  EXPECT_TRUE(LocrKey()["LoadFilesAtStartup"].isDword);
  EXPECT_EQ(LocrKey()["LoadFilesAtStartup"].bytes, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(keys_.queried, (std::vector<std::string>{"ExecutionFile"}));
  EXPECT_EQ(keys_.openKeys, 0);
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(LocrExportTest, TheClientIsStartedFromTheWorkingDirectory) {
  SetExecutionFile("/opt/locr/locr-client");
  OnOutputLocr(state_, view_, shell_, keys_);
  ASSERT_EQ(shell_.opened, (std::vector<std::string>{"/opt/locr/locr-client"}));
  EXPECT_EQ(fs::path(shell_.folders[0]), temp_.Path());
  EXPECT_EQ(keys_.openKeys, 0);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo}));
}

TEST_F(LocrExportTest, ShellResultsAreReported) {
  const std::pair<int, std::vector<ShownMessage>> cases[] = {
      {2, {kOutputTo, Api("URL error")}}, {30, {kOutputTo, Api("Application busy")}},
      {29, {kOutputTo, kDownload}},       {31, {kOutputTo, kDownload}},
      {0, {kOutputTo}},                   {42, {kOutputTo}},
  };
  SetExecutionFile("/opt/locr/locr-client");
  for (const auto& [result, messages] : cases) {
    SCOPED_TRACE(result);
    view_.messages.clear();
    shell_.result = result;
    OnOutputLocr(state_, view_, shell_, keys_);
    EXPECT_EQ(view_.messages, messages);
  }
}

TEST_F(LocrExportTest, ExecutionFileMustFitIn256Bytes) {
  SetExecutionFile("/" + std::string(254, 'a'));  // 255 characters and the NUL
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo}));

  view_.messages.clear();
  SetExecutionFile("/" + std::string(255, 'a'));
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo, kDownload}));
}

TEST_F(LocrExportTest, UnwritableLoadFilesAtStartupStopsBeforeTheClient) {
  SetExecutionFile("/opt/locr/locr-client");
  keys_.setDwordFails = true;
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo, kDownload}));
  EXPECT_TRUE(keys_.queried.empty());
  EXPECT_TRUE(shell_.opened.empty());
  EXPECT_EQ(keys_.openKeys, 0);
}

TEST_F(LocrExportTest, UnwritableStringsAreNotChecked) {
  SetExecutionFile("/opt/locr/locr-client");
  keys_.setStringFails = true;
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo}));
}

TEST_F(LocrExportTest, AKeyThatCannotBeOpenedGivesTheDownloadMessage) {
  keys_.createFails = true;
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo, kDownload}));
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(LocrExportTest, AFileThatCannotBeCreatedStillLaunchesTheClient) {
  fs::create_directories(temp_.Path() / "locr" / kLocrName / "x");
  SetExecutionFile("/opt/locr/locr-client");
  OnOutputLocr(state_, view_, shell_, keys_);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{Info("Can not output Locr file"), kOutputTo}));
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_FALSE(LocrKey()["DirectoryGpsFile"].bytes.empty());
}

TEST_F(LocrExportTest, WorksWithTheFileKeyStore) {
  const fs::path storePath = temp_.Path() / "config" / "quillon" / "registry.ini";
  IniKeyStore store(storePath.string());
  OnOutputLocr(state_, view_, shell_, store);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo, kDownload}));
  // The store writes a backslash as two.
  std::string folder;
  for (char c : (temp_.Path() / kLocrClientFolder).string()) folder += c == '\\' ? std::string(2, c) : std::string(1, c);
  EXPECT_NE(testing::ReadFileBytes(storePath).find("[Software\\locr\\LocrClient]\nDirectoryGpsFile=REG_SZ:" + folder +
                                                   "\nDirectoryPhotos=REG_SZ:" + folder +
                                                   "\nLoadFilesAtStartup=REG_DWORD:1\n"),
            std::string::npos);
}

TEST_F(LocrExportTest, AFileKeyStoreThatCannotBeWrittenGivesTheDownloadMessage) {
  testing::WriteFileBytes(temp_.Path() / "not-a-folder", "");
  IniKeyStore store((temp_.Path() / "not-a-folder" / "registry.ini").string());
  OnOutputLocr(state_, view_, shell_, store);
  EXPECT_EQ(view_.messages, (std::vector<ShownMessage>{kOutputTo, kDownload}));
  EXPECT_TRUE(shell_.opened.empty());
}

}  // namespace
}  // namespace quillon
