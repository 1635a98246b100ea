#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/CommandRouter.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ColouredMessageBox.h"
#include "ui/HoverButton.h"
#include "ui/MainWindow.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon::uitest {
namespace {

// Commands that go nowhere but are counted; the library binds or not.
class RecordingCommands : public ui::MainWindowCommands {
 public:
  bool BindDeviceLibrary() override {
    ++binds;
    return bindSucceeds;
  }
  void RunCommand(int commandId, WindowView&) override { commands.push_back(commandId); }
  bool HasCommand(int commandId) const override { return commandId != ids::kBuildGpxFile; }
  void OpenRawLogFile(const std::string& path, WindowView&) override { opened.push_back(path); }

  bool bindSucceeds = true;
  int binds = 0;
  std::vector<int> commands;
  std::vector<std::string> opened;
};

void PressEnterOn(wxWindow* button) {
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = WXK_RETURN;
  key.SetEventObject(button);
  button->HandleWindowEvent(key);
}

void ClickCheckBox(wxWindow* window, int id, bool checked) {
  auto* check = static_cast<wxCheckBox*>(window->FindWindow(id));
  check->SetValue(checked);
  wxCommandEvent event(wxEVT_CHECKBOX, id);
  event.SetInt(checked ? 1 : 0);
  event.SetEventObject(check);
  check->HandleWindowEvent(event);
}

struct Router {
  ui::OwnerlessMessageBoxes ownerless;
  CommandRouter router{ownerless, MakeSystemShell(), MakeUserKeyStore()};
};

TEST(MainWindowTest, OpensWithTheLibraryAndTheNewestRawLog) {
  testing::TimeZoneScope zone("Asia/Taipei");
  RunFolder folder(true, true);
  RecordedMessageBoxes boxes;
  Router r;
  ui::MainWindow window(r.router.State(), r.router);
  EXPECT_EQ(window.GetTitle(), "GPS Data Logger - Demo Software");

  WhileModal(window, [&] {
    EXPECT_EQ(window.GetItemText(ids::kFileNameLabel), "Rawdata/" + std::string(kSampleRawLogName));
    const std::vector<std::string> utcRange = {"2008", "03", "12", "06", "2008", "03", "12", "06"};
    for (int i = 0; i < 8; ++i) {
      SCOPED_TRACE(ids::kFromYear + i);
      EXPECT_EQ(window.GetItemText(ids::kFromYear + i), utcRange[i]);
    }

    // The tag box and the port list show their models, item for item.
    const AppState& state = r.router.State();
    auto* tags = static_cast<wxComboBox*>(window.FindWindow(ids::kTagBox));
    ASSERT_GT(state.tagBox.GetCount(), 0);
    ASSERT_EQ(static_cast<int>(tags->GetCount()), state.tagBox.GetCount());
    for (int i = 0; i < state.tagBox.GetCount(); ++i) {
      EXPECT_EQ(tags->GetString(i).utf8_string(), state.tagBox.GetItemText(i));
    }
    auto* ports = static_cast<wxComboBox*>(window.FindWindow(ids::kComPortList));
    ASSERT_EQ(ports->GetCount(), 100u);
    EXPECT_EQ(ports->GetString(0), "");
    EXPECT_EQ(ports->GetString(1), "COM01");
    EXPECT_EQ(ports->GetString(9), "COM09");
    EXPECT_EQ(ports->GetString(10), "COM10");
    EXPECT_EQ(ports->GetString(99), "COM99");
    EXPECT_EQ(ports->GetSelection(), 2);
    EXPECT_EQ(ports->GetValue(), "COM02");
    EXPECT_EQ(state.comPortList.GetCurSel(), 2);

    SaveScreenshot(&window, "main_window");
  });
  EXPECT_NE(r.router.Library(), nullptr);
  EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
}

TEST(MainWindowTest, LocalTimeCheckBoxSwitchesTheDateFields) {
  testing::TimeZoneScope zone("Asia/Taipei");
  RunFolder folder(true, true);
  RecordedMessageBoxes boxes;
  Router r;
  ui::MainWindow window(r.router.State(), r.router);
  WhileModal(window, [&] {
    EXPECT_FALSE(window.IsChecked(ids::kUseLocalTime));
    ClickCheckBox(&window, ids::kUseLocalTime, true);
    EXPECT_EQ(window.GetItemText(ids::kFromHour), "14");
    EXPECT_EQ(window.GetItemText(ids::kToHour), "14");
    EXPECT_EQ(window.GetItemText(ids::kFromDay), "12");
    ClickCheckBox(&window, ids::kUseLocalTime, false);
    EXPECT_EQ(window.GetItemText(ids::kFromHour), "06");
    EXPECT_EQ(window.GetItemText(ids::kToHour), "06");
  });
}

TEST(MainWindowTest, UserPicksAPortAndTheModelFollows) {
  RecordingCommands commands;
  AppState state;
  ui::MainWindow window(state, commands);
  WhileModal(window, [&] {
    auto* ports = static_cast<wxComboBox*>(window.FindWindow(ids::kComPortList));
    ports->SetSelection(7);
    wxCommandEvent pick(wxEVT_COMBOBOX, ids::kComPortList);
    pick.SetInt(7);
    pick.SetEventObject(ports);
    ports->HandleWindowEvent(pick);
    EXPECT_EQ(state.comPortList.GetCurSel(), 7);

    ports->ChangeValue("COM7x");
    wxCommandEvent typed(wxEVT_TEXT, ids::kComPortList);
    typed.SetEventObject(ports);
    ports->HandleWindowEvent(typed);
    EXPECT_EQ(state.comPortList.GetEditText(), "COM7x");
    EXPECT_EQ(state.comPortList.GetCurSel(), ComboModel::kNone);

    // And the other way: the behaviour code changes the model.
    state.comPortList.SetCurSel(0);
    EXPECT_EQ(ports->GetSelection(), 0);
    EXPECT_EQ(ports->GetValue(), "");
    state.tagBox.AddString("-12");
    state.tagBox.AddString("--7");
    auto* tags = static_cast<wxComboBox*>(window.FindWindow(ids::kTagBox));
    ASSERT_EQ(tags->GetCount(), 2u);
    EXPECT_EQ(tags->GetString(0), "--7");
  });
}

TEST(MainWindowTest, InitialStatesOfTheControls) {
  RecordingCommands commands;
  AppState state;
  ui::MainWindow window(state, commands);
  struct Expected {
    int id;
    bool enabled;
    bool shown;
  };
  const std::vector<Expected> table = {
      {ids::kOutputTrackmaker, false, false}, {ids::kExit, true, true},
      {ids::kComPortList, true, true},        {ids::kOutputGoogleEarth, true, true},
      {ids::kDumpLoggerData, false, true},    {ids::kBuildOutputFile, true, true},
      {ids::kOutputLocr, true, true},         {ids::kAutoOpenComPort, true, true},
      {ids::kManualOpenComPort, true, true},  {ids::kReadGpsUtcTime, false, true},
      {ids::kUseLocalTime, true, true},       {ids::kRangeAll, true, true},
      {ids::kRangeByDate, true, true},        {ids::kRangeByTag, true, true},
      {ids::kFromYear, true, true},           {ids::kToHour, true, true},
      {ids::kTagBox, true, true},             {ids::kLoggerSetting, false, true},
      {ids::kReadMemoryUsedStatus, false, true},
  };
  WhileModal(window, [&] {
    for (const Expected& e : table) {
      SCOPED_TRACE(e.id);
      EXPECT_EQ(window.IsItemEnabled(e.id), e.enabled);
      EXPECT_EQ(window.IsItemShown(e.id), e.shown);
    }
    for (int id : {ids::kUseLocalTime, ids::kRangeAll, ids::kRangeByDate, ids::kRangeByTag}) {
      SCOPED_TRACE(id);
      EXPECT_FALSE(window.IsChecked(id));
    }
    const std::vector<std::pair<int, std::string>> captions = {
        {ids::kSerialNumberLabel, "Serial Number : "}, {ids::kFirmwareVersionLabel, "Firmware Version :"},
        {ids::kUtcTimeLabel, "UTC Time : "},           {ids::kAutoScanLabel, "( Auto Scan to COM )"},
        {ids::kMemoryUsedLabel, "Memory Used Size = "}, {ids::kFreeMemoryLabel, "Free Memory  Size = "},
        {ids::kFileNameLabel, ""},                     {ids::kExit, "EXIT"},
        {ids::kDumpLoggerData, "Dump Logger data"},    {ids::kRangeByTag, "Search log data by Tag"},
    };
    for (const auto& [id, caption] : captions) {
      SCOPED_TRACE(id);
      EXPECT_EQ(window.GetItemText(id), caption);
    }
    // Checking a radio button and taking it back leaves the group empty again.
    window.SetChecked(ids::kRangeByDate, true);
    EXPECT_TRUE(window.IsChecked(ids::kRangeByDate));
    window.SetChecked(ids::kRangeByDate, false);
    EXPECT_FALSE(window.IsChecked(ids::kRangeByDate));
    EXPECT_FALSE(window.IsChecked(ids::kRangeAll));
  });
  EXPECT_EQ(commands.binds, 1);
  EXPECT_EQ(commands.commands, std::vector<int>{ids::kReloadLogData});
}

TEST(MainWindowTest, TabOrderIsTheTemplateOrder) {
  RecordingCommands commands;
  AppState state;
  ui::MainWindow window(state, commands);
  std::vector<int> order;
  for (wxWindow* child : window.GetChildren()) {
    bool takesFocus = dynamic_cast<ui::HoverButton*>(child) || dynamic_cast<wxComboBox*>(child) ||
                      dynamic_cast<wxTextCtrl*>(child) || dynamic_cast<wxCheckBox*>(child) ||
                      dynamic_cast<wxRadioButton*>(child);
    if (takesFocus && child->GetId() > 0) order.push_back(child->GetId());
  }
  const std::vector<int> expected = {1004, 2,    1001, 3,    4,    1002, 1003, 1005, 1006, 1008, 1010, 1011, 1012,
                                     1013, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1000, 1053};
  EXPECT_EQ(order, expected);

  // The keyboard walks it, passing over what is disabled or hidden.
  WhileModal(window, [&] {
    window.Raise();
    Pump(100);
    window.FindWindow(ids::kExit)->SetFocus();
    Pump(50);
    std::vector<int> walked;
    for (int step = 0; step < 12 && walked.size() < 6; ++step) {
      window.NavigateIn(wxNavigationKeyEvent::IsForward);
      Pump(30);
      // The toolkit's own parts of a control (a combo box's entry and arrow
      // button) count as that control.
      wxWindow* focus = wxWindow::FindFocus();
      while (focus != nullptr && focus->GetParent() != &window) focus = focus->GetParent();
      if (focus != nullptr && (walked.empty() || walked.back() != focus->GetId())) walked.push_back(focus->GetId());
    }
    EXPECT_EQ(walked, (std::vector<int>{1001, 3, 1002, 1003, 1005, 1006}));
  });
}

TEST(MainWindowTest, ButtonsForwardTheirCommandsAndExitCloses) {
  RecordingCommands commands;
  AppState state;
  ui::MainWindow window(state, commands);
  int result = WhileModal(window, [&] {
    commands.commands.clear();
    for (int id : {ids::kAutoOpenComPort, ids::kManualOpenComPort, ids::kBuildOutputFile, ids::kOutputGoogleEarth,
                   ids::kOutputLocr}) {
      PressEnterOn(window.FindWindow(id));
    }
    EXPECT_EQ(commands.commands, (std::vector<int>{1005, 1006, 1002, 3, 1003}));
    PressEnterOn(window.FindWindow(ids::kExit));
    EXPECT_FALSE(window.IsModal());
  });
  EXPECT_EQ(result, wxID_CANCEL);
  EXPECT_EQ(commands.commands.size(), 5u) << "EXIT is not forwarded";
}

TEST(MainWindowTest, WithoutTheLibraryTheWindowNeverShows) {
  RecordingCommands commands;
  commands.bindSucceeds = false;
  AppState state;
  ui::MainWindow window(state, commands);
  bool shown = false;
  window.CallAfter([&] { shown = true; });
  EXPECT_EQ(window.ShowModal(), wxID_CANCEL);
  EXPECT_FALSE(shown);
  EXPECT_TRUE(commands.commands.empty()) << "no reload without the library";
}

TEST(MainWindowTest, AboutItemOfTheContextMenuOpensTheAboutBox) {
  RecordingCommands commands;
  AppState state;
  ui::MainWindow window(state, commands);
  bool sawAbout = false;
  WhileModal(window, [&] {
    window.CallAfter([&] {
      wxDialog* about = FindDialog(wxString::FromUTF8("關於 Quillon"));
      sawAbout = about != nullptr;
      if (about != nullptr) about->EndModal(wxID_OK);
    });
    wxCommandEvent menu(wxEVT_MENU, ids::kAboutCommand);
    window.HandleWindowEvent(menu);
  });
  EXPECT_TRUE(sawAbout);
}

TEST(MainWindowTest, ExtraCommandsComeByMenuAndShortcutOnlyWithAHandler) {
  RecordingCommands commands;
  AppState state;
  ui::MainWindow window(state, commands);
  WhileModal(window, [&] {
    commands.commands.clear();
    for (int id : {ids::kBuildGpxFile, ids::kTrackView, ids::kOpenRawLog}) {
      wxCommandEvent menu(wxEVT_MENU, id);
      window.HandleWindowEvent(menu);
    }
    EXPECT_EQ(commands.commands, (std::vector<int>{ids::kTrackView, ids::kOpenRawLog}))
        << "a command without a handler is not run";

    // The shortcuts, typed on the keyboard of the display.
    commands.commands.clear();
    window.Raise();
    window.FindWindow(ids::kExit)->SetFocus();
    Pump(100);
    wxUIActionSimulator keyboard;
    for (char key : {'T', 'O', 'G'}) {
      keyboard.Char(key, wxMOD_CONTROL);
      Pump(100);
    }
    EXPECT_EQ(commands.commands, (std::vector<int>{ids::kTrackView, ids::kOpenRawLog}));
  });
}

}  // namespace
}  // namespace quillon::uitest
