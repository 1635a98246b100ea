#include "ui/MainWindow.h"

#include <vector>

#include <wx/accel.h>

#include "core/ComPortList.h"
#include "core/ControlIds.h"
#include "ui/LoggerIcon.h"
#include "ui/RawLogDropTarget.h"

namespace quillon::ui {

MainWindow::MainWindow(AppState& state, MainWindowCommands& commands)
    : ViewDialog(nullptr, "GPS Data Logger - Demo Software", 380, 361), state_(state), commands_(commands) {
  SetIcons(LoggerIcons());
  BuildControls();
  comPortBinding_ = std::make_unique<ComboBinding>(static_cast<wxComboBox*>(FindWindow(ids::kComPortList)),
                                                   state_.comPortList);
  tagBoxBinding_ = std::make_unique<ComboBinding>(static_cast<wxComboBox*>(FindWindow(ids::kTagBox)), state_.tagBox);

  Bind(wxEVT_BUTTON, &MainWindow::OnCommand, this);
  Bind(wxEVT_CHECKBOX, &MainWindow::OnCommand, this);
  Bind(wxEVT_RADIOBUTTON, &MainWindow::OnCommand, this);
  AddWindowMenu(ExtraItems());
  AddExtraCommands();
  CentreOnScreen();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
  // Group boxes first so that they lie beneath the controls they frame; they
  // take no focus, so the tab order stays the order below.
  AddGroupBox("Output file - log data range", 15, 179, 343, 57);

  HoverButton* trackmaker = AddButton(ids::kOutputTrackmaker, "Output for Trackmaker", 269, 160, 89, 16);
  trackmaker->Enable(false);
  trackmaker->Hide();
  AddButton(ids::kExit, "EXIT", 13, 321, 346, 21);
  AddDropDown(ids::kComPortList, 14, 7, 50);
  AddButton(ids::kOutputGoogleEarth, "Output for Google Earth", 14, 269, 344, 21);
  AddButton(ids::kDumpLoggerData, "Dump Logger data", 15, 131, 194, 20)->Enable(false);
  AddButton(ids::kBuildOutputFile, "Build Output File", 14, 243, 344, 22);
  AddButton(ids::kOutputLocr, "Output for locr", 13, 294, 345, 24);
  AddButton(ids::kAutoOpenComPort, "Auto Open Com Port", 14, 42, 103, 15);
  AddButton(ids::kManualOpenComPort, "Manual Open Com Port", 69, 7, 136, 15);
  AddLabel(ids::kAutoScanLabel, "( Auto Scan to COM )", 124, 45, 83, 9);
  AddButton(ids::kReadGpsUtcTime, "Read GPS UTC Time", 15, 107, 194, 20)->Enable(false);
  AddCheckBox(ids::kUseLocalTime, "Use Local Time ( Time Zone )", 19, 167, 126, 9);
  AddRadio(ids::kRangeAll, "All log data", 23, 189, 53, 11, true);
  AddRadio(ids::kRangeByDate, "Search log data by date", 23, 205, 87, 11, false);
  AddRadio(ids::kRangeByTag, "Search log data by Tag", 23, 221, 85, 11, false);

  const int fromX[] = {121, 147, 169, 191};
  const int fromWidth[] = {23, 15, 16, 15};
  for (int i = 0; i < 4; ++i) AddEdit(ids::kFromYear + i, fromX[i], 205, fromWidth[i], 12, wxTE_CENTRE);
  const int toX[] = {233, 261, 285, 307};
  const int toY[] = {205, 206, 206, 206};
  const int toWidth[] = {23, 16, 15, 16};
  for (int i = 0; i < 4; ++i) AddEdit(ids::kToYear + i, toX[i], toY[i], toWidth[i], 12, wxTE_CENTRE);

  AddDropDown(ids::kTagBox, 119, 219, 62);
  AddLabel(ids::kSerialNumberLabel, "Serial Number : ", 221, 7, 108, 10);
  AddLabel(ids::kFirmwareVersionLabel, "Firmware Version :", 221, 23, 108, 10);
  AddLabel(ids::kUtcTimeLabel, "UTC Time : ", 215, 118, 150, 12);
  AddLabel(wxID_ANY, "  YY      MM      DD     HH     ", 119, 195, 95, 8);
  AddLabel(wxID_ANY, "  YY      MM      DD     HH     ", 235, 195, 95, 8);
  AddLabel(wxID_ANY, "~", 215, 204, 11, 11);
  AddLabel(wxID_ANY, "( hh:mm:ss    mm/dd/yyyy )", 255, 109, 98, 8);
  AddLabel(ids::kFileNameLabel, "", 59, 156, 200, 8, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
  AddLabel(wxID_ANY, "File Name :", 19, 155, 36, 9);
  AddButton(ids::kLoggerSetting, "Logger Setting", 15, 61, 194, 19)->Enable(false);
  AddLabel(wxID_ANY, "( Auto Open Com Port : USB connection only )", 15, 31, 159, 8)->Hide();
  AddLabel(ids::kMemoryUsedLabel, "Memory Used Size = ", 215, 82, 149, 8);
  AddLabel(ids::kFreeMemoryLabel, "Free Memory  Size = ", 215, 95, 151, 8);
  AddButton(ids::kReadMemoryUsedStatus, "Read Memory Used Status", 15, 84, 194, 20)->Enable(false);
}

namespace {

struct ExtraCommand {
  int id;
  const char* caption;
  char key;
};
const ExtraCommand kExtraCommands[] = {
    {ids::kBuildGpxFile, "Build GPX File", 'G'},
    {ids::kTrackView, "Track View...", 'T'},
    {ids::kOpenRawLog, "Open Raw Log...", 'O'},
#ifdef QUILLON_PHOTO_GEOTAG
    {ids::kGeotagPhotos, "Geotag Photos...", 'P'},
#endif
};

}  // namespace

std::vector<WindowMenuItem> MainWindow::ExtraItems() {
  std::vector<WindowMenuItem> items;
  for (const ExtraCommand& command : kExtraCommands) {
    const int id = command.id;
    items.push_back({id, wxString::Format("%s\tCtrl+%c", command.caption, command.key),
                     [this, id] { return commands_.HasCommand(id); }, items.empty()});
  }
  return items;
}

void MainWindow::AddExtraCommands() {
  std::vector<wxAcceleratorEntry> keys;
  for (const ExtraCommand& command : kExtraCommands) {
    keys.emplace_back(wxACCEL_CTRL, command.key, command.id);
    Bind(
        wxEVT_MENU,
        [this](wxCommandEvent& event) {
          if (commands_.HasCommand(event.GetId())) commands_.RunCommand(event.GetId(), *this);
        },
        command.id);
  }
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));
  // The window and each of its controls take drops: on the toolkits a drop
  // goes to the control under the pointer, not to the window behind it.
  // Opening shows message boxes, which must not run inside the toolkit's drop
  // handling; a call after it is dropped with the window, should it close first.
  auto open = [this](const std::string& path) {
    CallAfter([this, path] { commands_.OpenRawLogFile(path, *this); });
  };
  SetDropTarget(new RawLogDropTarget(open));
  for (wxWindow* child : GetChildren()) child->SetDropTarget(new RawLogDropTarget(open));
}

bool MainWindow::OpenDialog() {
  FillComPortList(state_.comPortList);
  if (!commands_.BindDeviceLibrary()) {
    EndDialogCancel();
    return false;
  }
  commands_.RunCommand(ids::kReloadLogData, *this);
  return !CancelRequested();
}

void MainWindow::OnCommand(wxCommandEvent& event) {
  int id = event.GetId();
  if (id == ids::kExit) {
    EndDialogCancel();
    return;
  }
  commands_.RunCommand(id, *this);
}

}  // namespace quillon::ui
