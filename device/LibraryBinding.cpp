#include "device/LibraryBinding.h"

#include <array>

#include "api/OrvexApi.h"
#include "core/MessageTexts.h"
#include "platform/DynamicLibrary.h"

namespace quillon {
namespace {

constexpr std::array<const char*, kEntryPointCount> kEntryPointNames = {
    "TQ_ORVEX_AUTO_INTO_DUMP_MODE",     "TQ_ORVEX_INTO_DUMP_MODE",        "TQ_ORVEX_EXIT_DUMP_MODE",
    "TQ_ORVEX_READ_DEVICE_INFORMATION", "TQ_ORVEX_READ_GPS_UTC_TIME_DATE", "TQ_ORVEX_DUMP_DB",
    "TQ_ORVEX_READ_MEMORY_USED_SIZE",   "TQ_ORVEX_READ_SETTING_VALUE",     "TQ_ORVEX_SETTING_DEVICE",
    "TQ_ORVEX_ERASE_All_DB",            "TQ_ORVEX_READ_DLL_VERSION",
};

constexpr const char* kLibraryFileName = "ORVEX_DLL.dll";

class BoundDeviceLibrary : public DeviceLibrary {
 public:
  explicit BoundDeviceLibrary(std::unique_ptr<DynamicLibrary> library) : library_(std::move(library)) {
    for (int i = 0; i < kEntryPointCount; ++i) symbols_[i] = library_->Find(kEntryPointNames[i]);
  }

  bool Has(EntryPoint entry) const override { return symbols_[static_cast<int>(entry)] != nullptr; }

  int AutoIntoDumpMode(int* portFound) override {
    auto fn = Get<TQ_ORVEX_AUTO_INTO_DUMP_MODE_FN>(EntryPoint::kAutoIntoDumpMode);
    return fn ? fn(portFound) : kEntryPointMissingCode;
  }

  int IntoDumpMode(std::uint8_t port) override {
    auto fn = Get<TQ_ORVEX_INTO_DUMP_MODE_FN>(EntryPoint::kIntoDumpMode);
    return fn ? fn(port) : kEntryPointMissingCode;
  }

  int ExitDumpMode() override {
    auto fn = Get<TQ_ORVEX_EXIT_DUMP_MODE_FN>(EntryPoint::kExitDumpMode);
    return fn ? fn() : kEntryPointMissingCode;
  }

  int ReadDeviceInformation(std::uint8_t port, std::uint32_t* serialNumber, char* firmware,
                            char* distributor) override {
    auto fn = Get<TQ_ORVEX_READ_DEVICE_INFORMATION_FN>(EntryPoint::kReadDeviceInformation);
    return fn ? fn(port, serialNumber, firmware, distributor) : kEntryPointMissingCode;
  }

  int ReadGpsUtcTimeDate(std::uint8_t* hour, std::uint8_t* minute, std::uint8_t* second,
                         std::uint8_t* yearSince2000, std::uint8_t* day, std::uint8_t* month) override {
    auto fn = Get<TQ_ORVEX_READ_GPS_UTC_TIME_DATE_FN>(EntryPoint::kReadGpsUtcTimeDate);
    return fn ? fn(hour, minute, second, yearSince2000, day, month) : kEntryPointMissingCode;
  }

  int DumpDb(std::uint8_t port, const char* rawLogFileName) override {
    auto fn = Get<TQ_ORVEX_DUMP_DB_FN>(EntryPoint::kDumpDb);
    return fn ? fn(port, rawLogFileName) : kEntryPointMissingCode;
  }

  int ReadMemoryUsedSize(int* bytesUsed) override {
    auto fn = Get<TQ_ORVEX_READ_MEMORY_USED_SIZE_FN>(EntryPoint::kReadMemoryUsedSize);
    return fn ? fn(bytesUsed) : kEntryPointMissingCode;
  }

  int ReadSettingValue(std::uint8_t port, LoggerSettingValues* values) override {
    auto fn = Get<TQ_ORVEX_READ_SETTING_VALUE_FN>(EntryPoint::kReadSettingValue);
    if (!fn) return kEntryPointMissingCode;
    return fn(port, &values->timeInterval, &values->distanceInterval, &values->vibration, &values->tagFunction,
              &values->minimumSpeed, values->userPointBlock, &values->idleTimer, &values->tagMode,
              &values->timeZone);
  }

  int SettingDevice(std::uint8_t port, const LoggerSettingValues& values, const char* voiceFilePath) override {
    auto fn = Get<TQ_ORVEX_SETTING_DEVICE_FN>(EntryPoint::kSettingDevice);
    if (!fn) return kEntryPointMissingCode;
    return fn(port, values.timeInterval, values.distanceInterval, values.vibration, values.tagFunction,
              voiceFilePath, values.minimumSpeed, values.userPointBlock, values.idleTimer, values.tagMode,
              values.timeZone);
  }

  int EraseAllDb(std::uint8_t port) override {
    auto fn = Get<TQ_ORVEX_ERASE_All_DB_FN>(EntryPoint::kEraseAllDb);
    return fn ? fn(port) : kEntryPointMissingCode;
  }

 private:
  template <typename Fn>
  Fn Get(EntryPoint entry) const {
    return reinterpret_cast<Fn>(symbols_[static_cast<int>(entry)]);
  }

  std::unique_ptr<DynamicLibrary> library_;
  std::array<void*, kEntryPointCount> symbols_{};
};

}  // namespace

const char* EntryPointName(EntryPoint entry) { return kEntryPointNames[static_cast<int>(entry)]; }

std::unique_ptr<DeviceLibrary> BindDeviceLibrary(const std::string& workingDirectory, MessageBoxes& ownerless) {
  auto library = DynamicLibrary::Load(workingDirectory + "//" + kLibraryFileName);
  if (!library) {
    ownerless.ShowMessage(kLibraryNotFoundMessage, kApiReturnCaption);
    return nullptr;
  }
  return std::make_unique<BoundDeviceLibrary>(std::move(library));
}

}  // namespace quillon
