#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "core/AppState.h"
#include "core/WindowView.h"

namespace quillon {

// What the export names take from a raw log opened by name.
struct OpenedLogName {
  std::string stamp;
  std::uint32_t serial = 0;
  friend bool operator==(const OpenedLogName&, const OpenedLogName&) = default;
};

// A name of the raw log pattern (<14-digit stamp>_Rawdata_<serial>.txt)
// gives the stamp and serial the newest-file rule would take from it; any
// other name gives the local time of `modified` as "YYYYMMDDhhmmss" and
// serial 0.
OpenedLogName NameOpenedRawLog(std::string_view fileName, std::time_t modified);

// Why the file at `path` cannot be read as a raw log, or nothing when it can.
std::optional<std::string> WhyRawLogUnreadable(const std::string& path);

// "Open Raw Log...": loads the file at `path` through the reload's own steps
// (the Fix List, the date fields, the tag box, label 1031). A file that
// cannot be read leaves the loaded log as it is and says why. The next
// reload returns to the newest file in Rawdata. True when the file loaded.
bool OpenRawLogFile(AppState& state, WindowView& view, const std::string& path);

}  // namespace quillon
