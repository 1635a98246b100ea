#include "tests/support/FakeDevice.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>

#include "core/ComPortList.h"

namespace quillon::testing {

namespace {

void CopyText(const std::string& text, char* out, std::size_t size) {
  std::memset(out, 0, size);
  std::memcpy(out, text.data(), std::min(text.size(), size));
}

}  // namespace

MessageAnswer EventLogView::ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) {
  log_.events.push_back("view: " + text);
  return FakeWindowView::ShowMessage(text, caption, buttons);
}

void EventLogView::RunBusy(const std::string& what, const std::function<void()>& work) {
  ++log_.busyDepth;
  FakeWindowView::RunBusy(what, work);
  --log_.busyDepth;
}

MessageAnswer EventLogMessageBoxes::ShowMessage(const std::string& text, const std::string& caption,
                                                MessageButtons buttons) {
  log_.events.push_back("ownerless: " + text);
  return FakeMessageBoxes::ShowMessage(text, caption, buttons);
}

int FakeDevice::Record(DeviceCall call, const std::string& event) {
  if (log_) {
    log_->events.push_back(event);
    if (log_->busyDepth == 0) log_->callsOutsideBusy.push_back(event);
  }
  EntryPoint entry = call.entry;
  calls.push_back(std::move(call));
  auto queued = nextCodes.find(entry);
  if (queued != nextCodes.end() && !queued->second.empty()) {
    int code = queued->second.front();
    queued->second.pop_front();
    return code;
  }
  return codes.at(entry);
}

int FakeDevice::AutoIntoDumpMode(int* found) {
  *found = portFound;
  return Record(DeviceCall{EntryPoint::kAutoIntoDumpMode}, "AutoIntoDumpMode");
}

int FakeDevice::IntoDumpMode(std::uint8_t port) {
  return Record(DeviceCall{EntryPoint::kIntoDumpMode, port}, "IntoDumpMode(" + std::to_string(port) + ")");
}

int FakeDevice::ExitDumpMode() { return Record(DeviceCall{EntryPoint::kExitDumpMode}, "ExitDumpMode"); }

int FakeDevice::ReadDeviceInformation(std::uint8_t port, std::uint32_t* serial, char* firmwareOut,
                                      char* distributorOut) {
  *serial = serialNumber;
  CopyText(firmware, firmwareOut, 8);
  CopyText(distributor, distributorOut, 32);
  return Record(DeviceCall{EntryPoint::kReadDeviceInformation, port}, "ReadDeviceInformation(" + std::to_string(port) + ")");
}

int FakeDevice::ReadGpsUtcTimeDate(std::uint8_t* hour, std::uint8_t* minute, std::uint8_t* second,
                                   std::uint8_t* yearSince2000, std::uint8_t* day, std::uint8_t* month) {
  *hour = gpsTime.hour;
  *minute = gpsTime.minute;
  *second = gpsTime.second;
  *yearSince2000 = gpsTime.yearSince2000;
  *day = gpsTime.day;
  *month = gpsTime.month;
  return Record(DeviceCall{EntryPoint::kReadGpsUtcTimeDate}, "ReadGpsUtcTimeDate");
}

int FakeDevice::DumpDb(std::uint8_t port, const char* rawLogFileName) {
  if (dumpFileContent) {
    std::ofstream out(rawLogFileName, std::ios::binary);
    out << *dumpFileContent;
  }
  return Record(DeviceCall{EntryPoint::kDumpDb, port, rawLogFileName},
                "DumpDb(" + std::to_string(port) + "," + rawLogFileName + ")");
}

int FakeDevice::ReadMemoryUsedSize(int* used) {
  *used = bytesUsed;
  return Record(DeviceCall{EntryPoint::kReadMemoryUsedSize}, "ReadMemoryUsedSize");
}

int FakeDevice::ReadSettingValue(std::uint8_t port, LoggerSettingValues* values) {
  *values = settingsRead;
  return Record(DeviceCall{EntryPoint::kReadSettingValue, port}, "ReadSettingValue(" + std::to_string(port) + ")");
}

int FakeDevice::SettingDevice(std::uint8_t port, const LoggerSettingValues& values, const char* voiceFilePath) {
  if (settingLeavesDirectory) std::filesystem::current_path(*settingLeavesDirectory);
  return Record(DeviceCall{EntryPoint::kSettingDevice, port, voiceFilePath, values},
                "SettingDevice(" + std::to_string(port) + ")");
}

int FakeDevice::EraseAllDb(std::uint8_t port) {
  return Record(DeviceCall{EntryPoint::kEraseAllDb, port}, "EraseAllDb(" + std::to_string(port) + ")");
}

DeviceRig::DeviceRig() { FillComPortList(state.comPortList); }

std::vector<EntryPoint> FakeDevice::Entries() const {
  std::vector<EntryPoint> out;
  for (const auto& call : calls) out.push_back(call.entry);
  return out;
}

int FakeDevice::CountCalls(EntryPoint entry) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const DeviceCall& c) { return c.entry == entry; }));
}

}  // namespace quillon::testing
