#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/AppState.h"
#include "core/FixList.h"
#include "logdata/RawLogLoader.h"

namespace quillon::testing {

// A fix at signed micro-degrees, the way the parser fills the position fields.
inline FixRecord FixAt(std::int32_t latitude, std::int32_t longitude) {
  const auto degrees = [](std::int32_t value) {
    const std::int64_t magnitude = std::llabs(value);
    std::string fraction = std::to_string(magnitude % 1000000);
    return std::to_string(magnitude / 1000000) + "." + std::string(6 - fraction.size(), '0') + fraction;
  };
  FixRecord r;
  r.latitudeText.Assign("0000.0000");
  r.longitudeText.Assign("00000.0000");
  r.latitudeDegrees.Assign(degrees(latitude));
  r.longitudeDegrees.Assign(degrees(longitude));
  r.northSouth = latitude < 0 ? 'S' : 'N';
  r.eastWest = longitude < 0 ? 'W' : 'E';
  r.untagged = true;
  r.tag = kNoTag;
  return r;
}

// One GGA/RMC pair of a raw log with a tag field.
inline std::string LoggedFix(const std::string& tag, const std::string& time, const std::string& date,
                             const std::string& latitude, const std::string& longitude, const std::string& speed,
                             const std::string& altitude = "12.3") {
  const std::string where = latitude + ",N," + longitude + ",E";
  return tag + ",$GPGGA," + time + "," + where + ",1,08,1.10," + altitude + ",M,,M,,*00\r\n" + tag + ",$GPRMC," +
         time + ",A," + where + "," + speed + ",40.00," + date + ",,,A*00\r\n";
}

// The Fix List of a raw log text, parsed as a reload parses it.
inline FixList ParseLog(const std::string& text) {
  AppState state;
  state.rawLogText = MakeSharedText(text);
  ParseRawLog(state);
  return state.fixList;
}

}  // namespace quillon::testing
