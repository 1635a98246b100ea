#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/AppState.h"
#include "device/DeviceLibrary.h"
#include "tests/support/FakeWindowView.h"
#include "tests/support/TempFolder.h"

namespace quillon::testing {

// One log of what happened, in order, shared by a FakeDevice and the views
// below: device calls ("IntoDumpMode(2)"), message boxes ("view: text",
// "ownerless: text"). Device calls made outside a busy run are also listed in
// callsOutsideBusy.
struct EventLog {
  std::vector<std::string> events;
  std::vector<std::string> callsOutsideBusy;
  int busyDepth = 0;
};

// A FakeWindowView that writes its message boxes and busy runs into an EventLog.
class EventLogView : public FakeWindowView {
 public:
  explicit EventLogView(EventLog& log) : log_(log) {}
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;
  void RunBusy(const std::string& what, const std::function<void()>& work) override;

 private:
  EventLog& log_;
};

// Ownerless message boxes that write into an EventLog.
class EventLogMessageBoxes : public FakeMessageBoxes {
 public:
  explicit EventLogMessageBoxes(EventLog& log) : log_(log) {}
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;

 private:
  EventLog& log_;
};

struct DeviceCall {
  explicit DeviceCall(EntryPoint e, int p = -1, std::string t = {}, const LoggerSettingValues& s = {})
      : entry(e), port(p), text(std::move(t)), settings(s) {}

  EntryPoint entry;
  int port = -1;                 // -1 for entry points without a port
  std::string text;              // the raw log name or the voice-file path
  LoggerSettingValues settings;  // what SettingDevice was given
};

// A device library whose entry points return chosen codes and fill chosen out
// values (whatever the code), recording every call with its arguments. Each
// entry point can be made missing.
class FakeDevice : public DeviceLibrary {
 public:
  explicit FakeDevice(EventLog* log = nullptr) : log_(log) {}

  bool Has(EntryPoint entry) const override { return !missing.count(entry); }
  int AutoIntoDumpMode(int* portFound) override;
  int IntoDumpMode(std::uint8_t port) override;
  int ExitDumpMode() override;
  int ReadDeviceInformation(std::uint8_t port, std::uint32_t* serialNumber, char* firmware,
                            char* distributor) override;
  int ReadGpsUtcTimeDate(std::uint8_t* hour, std::uint8_t* minute, std::uint8_t* second, std::uint8_t* yearSince2000,
                         std::uint8_t* day, std::uint8_t* month) override;
  int DumpDb(std::uint8_t port, const char* rawLogFileName) override;
  int ReadMemoryUsedSize(int* bytesUsed) override;
  int ReadSettingValue(std::uint8_t port, LoggerSettingValues* values) override;
  int SettingDevice(std::uint8_t port, const LoggerSettingValues& values, const char* voiceFilePath) override;
  int EraseAllDb(std::uint8_t port) override;

  // The entry points called, in order.
  std::vector<EntryPoint> Entries() const;
  int CountCalls(EntryPoint entry) const;

  // Result codes; each entry point succeeds until a test says otherwise.
  std::map<EntryPoint, int> codes = {
      {EntryPoint::kAutoIntoDumpMode, 24}, {EntryPoint::kIntoDumpMode, 24},      {EntryPoint::kExitDumpMode, 0},
      {EntryPoint::kReadDeviceInformation, 0}, {EntryPoint::kReadGpsUtcTimeDate, 39}, {EntryPoint::kDumpDb, 2},
      {EntryPoint::kReadMemoryUsedSize, 45},  {EntryPoint::kReadSettingValue, 22},  {EntryPoint::kSettingDevice, 14},
      {EntryPoint::kEraseAllDb, 13},
  };
  // Codes returned before those of `codes`, one per call.
  std::map<EntryPoint, std::deque<int>> nextCodes;
  std::set<EntryPoint> missing;

  // Out values.
  int portFound = 0;
  std::uint32_t serialNumber = 0;
  std::string firmware;     // its first 8 bytes go into the 8-byte buffer, no NUL added at 8
  std::string distributor;  // likewise, 32 bytes
  struct GpsTime {
    std::uint8_t hour, minute, second, yearSince2000, day, month;
  } gpsTime{0, 0, 0, 0, 0, 0};
  int bytesUsed = 0;
  LoggerSettingValues settingsRead{};
  // When set, DumpDb writes this text to the file it is given.
  std::optional<std::string> dumpFileContent;
  // When set, SettingDevice leaves the process in this directory.
  std::optional<std::filesystem::path> settingLeavesDirectory;

  std::vector<DeviceCall> calls;

 private:
  int Record(DeviceCall call, const std::string& event);

  EventLog* log_;
};

// What a device handler test works on: the state with comPortList filled as
// at start-up (item n is COM port n) and COM02 selected, a fake device, the
// window's view and ownerless message boxes, all writing into one EventLog.
struct DeviceRig {
  DeviceRig();

  EventLog log;
  FakeDevice device{&log};
  EventLogView view{log};
  EventLogMessageBoxes ownerless{log};
  AppState state;
};

}  // namespace quillon::testing
