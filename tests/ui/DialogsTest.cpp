#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "core/ControlIds.h"
#include "tests/support/FakeDevice.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/BusyRunner.h"
#include "ui/ColouredMessageBox.h"
#include "ui/DialogLook.h"
#include "ui/SettingsDialog.h"
#include "ui/UiThread.h"

namespace quillon::uitest {
namespace {

template <typename T>
std::vector<T*> ChildrenOf(wxWindow* window) {
  std::vector<T*> found;
  for (wxWindow* child : window->GetChildren()) {
    if (auto* typed = dynamic_cast<T*>(child)) found.push_back(typed);
  }
  return found;
}

void Click(wxButton* button) {
  wxCommandEvent event(wxEVT_BUTTON, button->GetId());
  event.SetEventObject(button);
  button->HandleWindowEvent(event);
}

TEST(AboutBoxTest, CaptionIconVersionAndDefaultButton) {
  ui::AboutBox about(nullptr);
  EXPECT_EQ(about.GetTitle().utf8_string(), "關於 Quillon");
  EXPECT_EQ(ChildrenOf<wxStaticBitmap>(&about).size(), 1u);
  auto labels = ChildrenOf<wxStaticText>(&about);
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0]->GetLabel(), "Quillon Version 1.0");
  auto buttons = ChildrenOf<wxButton>(&about);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0]->GetLabel().utf8_string(), "確定");
  EXPECT_EQ(about.GetDefaultItem(), buttons[0]);
  int result = WhileModal(about, [&] {
    SaveScreenshot(&about, "about_box");
    Click(buttons[0]);
  });
  EXPECT_EQ(result, wxID_OK);
}

TEST(MessageBoxTest, ColouredBoxWithOkAndCancel) {
  MessageAnswer answer = MessageAnswer::kOk;
  bool checked = false;
  wxTheApp->CallAfter([&] {
    Pump(200);
    wxDialog* box = FindDialog("info");
    ASSERT_NE(box, nullptr);
    checked = true;
    EXPECT_EQ(box->GetBackgroundColour(), ui::DialogBackground());
    auto labels = ChildrenOf<wxStaticText>(box);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->GetLabel(), "DO you want to erase logger data now?");
    EXPECT_EQ(labels[0]->GetForegroundColour(), ui::DialogText());
    auto buttons = ChildrenOf<wxButton>(box);
    ASSERT_EQ(buttons.size(), 2u);
    SaveScreenshot(box, "message_box");
    Click(buttons[1]);
  });
  answer = ui::ShowColouredMessageBox(nullptr, "DO you want to erase logger data now?", "info",
                                      MessageButtons::kOkCancel);
  EXPECT_TRUE(checked);
  EXPECT_EQ(answer, MessageAnswer::kCancel);
}

TEST(MessageBoxTest, HookAnswersAndRecordsTheOwner) {
  RecordedMessageBoxes boxes;
  boxes.answers = {MessageAnswer::kCancel};
  wxDialog owner(nullptr, wxID_ANY, "owner");
  ui::OwnedMessageBoxes owned(&owner);
  ui::OwnerlessMessageBoxes ownerless;
  EXPECT_EQ(owned.ShowMessage(" device not report", "API-return", MessageButtons::kOkCancel), MessageAnswer::kCancel);
  EXPECT_EQ(ownerless.ShowMessage("ORVEX_DLL.dll not find", "API-return", MessageButtons::kOk), MessageAnswer::kOk);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_TRUE(boxes.shown[0].owned);
  EXPECT_EQ(boxes.shown[0].text, " device not report");
  EXPECT_FALSE(boxes.shown[1].owned);
  EXPECT_EQ(boxes.shown[1].caption, "API-return");
}

TEST(BusyRunnerTest, SlowWorkRunsOnAWorkerBehindAProgressWindow) {
  std::thread::id workThread;
  std::atomic<bool> progressShown{false};
  std::string labelFromWorker;
  wxDialog owner(nullptr, wxID_ANY, "owner");
  ui::RunBusyWithProgress(&owner, "Downloading the log", [&] {
    workThread = std::this_thread::get_id();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ui::RunOnUiThread([&] {
      wxDialog* progress = FindDialog("GPS Data Logger - Working");
      progressShown = progress != nullptr && progress->IsModal();
      if (progress != nullptr) SaveScreenshot(progress, "progress_window");
    });
  });
  EXPECT_NE(workThread, std::this_thread::get_id());
  EXPECT_TRUE(progressShown);
  EXPECT_EQ(FindDialog("GPS Data Logger - Working"), nullptr) << "closed when the work ended";
}

TEST(BusyRunnerTest, ExceptionOfTheWorkReachesTheCaller) {
  EXPECT_THROW(ui::RunBusyWithProgress(nullptr, "x", [] { throw std::runtime_error("lost"); }), std::runtime_error);
  EXPECT_THROW(ui::RunBusyWithProgress(nullptr, "x",
                                       [] {
                                         std::this_thread::sleep_for(std::chrono::milliseconds(300));
                                         throw std::runtime_error("lost later");
                                       }),
               std::runtime_error);
}

struct SettingsRig {
  SettingsRig() {
    device.settingsRead.timeInterval = 5;
    device.settingsRead.distanceInterval = -1;
    device.settingsRead.vibration = 2;
    device.settingsRead.tagFunction = 1;
    device.settingsRead.minimumSpeed = 3;
    device.settingsRead.idleTimer = 10;
  }
  testing::FakeDevice device;
  AppState state;
  RecordedMessageBoxes boxes;
  ui::OwnerlessMessageBoxes ownerless;
};

TEST(SettingsDialogTest, OpensFilledFromTheLogger) {
  SettingsRig rig;
  ui::SettingsDialog dialog(nullptr, rig.state, rig.device, rig.ownerless);
  EXPECT_EQ(dialog.GetTitle(), "Logger Setting - Demo Software");
  WhileModal(dialog, [&] {
    EXPECT_EQ(dialog.GetItemText(ids::kTimeIntervalEdit), "5");
    EXPECT_EQ(dialog.GetItemText(ids::kDistanceIntervalEdit), "");
    EXPECT_EQ(dialog.GetItemText(ids::kMinimumSpeedEdit), "3");
    EXPECT_EQ(dialog.GetItemText(ids::kIdleTimerEdit), "10");
    EXPECT_TRUE(dialog.IsChecked(ids::kByTime));
    EXPECT_FALSE(dialog.IsChecked(ids::kByDistance));
    EXPECT_TRUE(dialog.IsChecked(ids::kVibrationEnable));
    EXPECT_TRUE(dialog.IsChecked(ids::kTagEnable));
    EXPECT_FALSE(dialog.IsItemShown(ids::kSettingsHiddenList));
    EXPECT_FALSE(dialog.IsItemEnabled(ids::kSettingsHiddenList));
    for (int id : {ids::kEraseAllLogData, ids::kSettingsExit, ids::kUpdateSettingValue}) {
      SCOPED_TRACE(id);
      EXPECT_NE(dynamic_cast<ui::HoverButton*>(dialog.FindWindow(id)), nullptr);
    }
    SaveScreenshot(&dialog, "settings_dialog");
  });
  EXPECT_TRUE(rig.boxes.shown.empty());
  EXPECT_EQ(rig.device.CountCalls(EntryPoint::kReadSettingValue), 1);
}

TEST(SettingsDialogTest, CommandsReachTheController) {
  SettingsRig rig;
  ui::SettingsDialog dialog(nullptr, rig.state, rig.device, rig.ownerless);
  int result = WhileModal(dialog, [&] {
    auto send = [&](wxEventType type, int id) {
      wxCommandEvent event(type, id);
      event.SetEventObject(dialog.FindWindow(id));
      dialog.FindWindow(id)->HandleWindowEvent(event);
    };
    send(wxEVT_RADIOBUTTON, ids::kByDistance);
    EXPECT_EQ(rig.state.loggerSettings.timeInterval, -1);
    EXPECT_EQ(rig.state.loggerSettings.distanceInterval, 100);
    dialog.SetItemText(ids::kDistanceIntervalEdit, "250");
    send(wxEVT_BUTTON, ids::kUpdateSettingValue);
    ASSERT_EQ(rig.device.CountCalls(EntryPoint::kSettingDevice), 1);
    for (const testing::DeviceCall& call : rig.device.calls) {
      if (call.entry == EntryPoint::kSettingDevice) {
        EXPECT_EQ(call.settings.distanceInterval, 250);
      }
    }
    send(wxEVT_BUTTON, ids::kEraseAllLogData);
    EXPECT_EQ(rig.device.CountCalls(EntryPoint::kEraseAllDb), 1);
    send(wxEVT_BUTTON, ids::kSettingsExit);
  });
  EXPECT_EQ(result, wxID_CANCEL);
  std::vector<std::string> texts;
  for (const auto& box : rig.boxes.shown) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{" setting device successful", "Erase database successful"}));
}

TEST(SettingsDialogTest, ClosesUnshownWhenTheLoggerRefusesDumpMode) {
  SettingsRig rig;
  rig.device.codes[EntryPoint::kIntoDumpMode] = 4;
  ui::SettingsDialog dialog(nullptr, rig.state, rig.device, rig.ownerless);
  bool shown = false;
  dialog.CallAfter([&] { shown = true; });
  EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
  EXPECT_FALSE(shown);
  EXPECT_EQ(rig.device.CountCalls(EntryPoint::kReadSettingValue), 0);
  EXPECT_EQ(rig.boxes.shown.size(), 1u);
}

}  // namespace
}  // namespace quillon::uitest
