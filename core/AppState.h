#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ComboModel.h"
#include "core/FixList.h"
#include "platform/PathConventions.h"

namespace quillon {

// The device state of the run; all zero at start, portOpened never cleared.
struct DeviceState {
  bool portOpened = false;
  int scanPort = 0;
  std::uint32_t serialNumber = 0;
  char firmwareVersion[8] = {};
  char distributorName[32] = {};
};

// The logger settings record: survives every Settings Dialog. An interval of
// kIntervalNotUsed marks the mode not in use.
inline constexpr std::int32_t kIntervalNotUsed = -1;
struct LoggerSettingsRecord {
  std::int32_t timeInterval = 0;
  std::int32_t distanceInterval = 0;
  std::uint8_t vibration = 0;
  std::uint8_t tagFunction = 0;
  std::uint8_t minimumSpeed = 0;
  std::uint8_t idleTimer = 0;
  std::uint8_t tagMode = 0;
};

inline constexpr std::uint8_t kRangeNotChosen = 255;
inline constexpr std::uint8_t kRangeAllMode = 0;
inline constexpr std::uint8_t kRangeByDateMode = 1;
inline constexpr std::uint8_t kRangeByTagMode = 2;

// A photo the last "Geotag Photos..." placed on the track (tagged, or found
// positioned already): where the track was when it was taken. The Track View
// marks it.
struct GeotaggedPhoto {
  std::string path;
  double utcSeconds = 0.0;
  double latitude = 0.0;  // degrees, south and west negative
  double longitude = 0.0;
};

// Everything that lives for the whole run, created once at start-up and handed
// by reference to whoever needs it.
struct AppState {
  // Log data
  FixList fixList;
  FixList selectionList;
  // The last successfully loaded raw log; shared with the lists parsed from it.
  SharedText rawLogText;
  std::string rawLogPath = std::string("Rawdata") + kPathSeparator + "Rawdata.txt";
  std::string logStamp;
  std::uint32_t logSerial = 0;
  // The Raw Log File name (without folder) that the selection last adopted;
  // empty until one is adopted.
  std::string logFileName;
  // While a log opened by name is loaded: the stamp, serial and name the
  // newest-file rule had adopted, which the next reload goes on from.
  struct AdoptedName {
    std::string stamp;
    std::uint32_t serial = 0;
    std::string fileName;
  };
  std::optional<AdoptedName> newestRuleName;
  std::int32_t fixCounter = 1;

  DeviceState device;
  LoggerSettingsRecord loggerSettings;
  std::uint8_t rangeMode = kRangeNotChosen;

  // The process-wide combo-box objects.
  ComboModel comPortList;
  ComboModel tagBox;
  ComboModel settingsHiddenList;

  // The photos of the last geotagging that wrote, for the Track View.
  std::vector<GeotaggedPhoto> geotaggedPhotos;
};

}  // namespace quillon
