#include "cli/GeotagOptions.h"

#include <charconv>
#include <cstddef>
#include <system_error>

#include "geotag/ClockOffset.h"

namespace quillon {

const char kGeotagUsage[] =
    R"USAGE(Usage: quillon-geotag RAWLOG PHOTO|FOLDER... [--camera-zone ZONE]
                      [--clock-offset OFFSET] [--max-interpolation S]
                      [--max-extrapolation S] [--replace] [--remove] [--dry-run]
                      [--recursive] [--all | --from Y,M,D,H --to Y,M,D,H | --tag TEXT]

Writes into each photo where it was taken, from the fixes of a raw NMEA log of
the ORVEX logger: the EXIF GPS position, altitude, UTC time, speed and course.
Nothing else in the photo changes, and a photo is replaced only once its
tagged copy is complete. Photos of formats that can be read but not written
(several raw formats) get the position in an XMP sidecar beside them instead:
NAME.xmp, or NAME.EXT.xmp where that one exists already.

  RAWLOG               the raw log whose fixes give the positions.
  PHOTO|FOLDER         photos, and folders whose photos (by their extension)
                       are tagged; folders are read one level deep.
  --recursive          read folders and all the folders within them.
  --camera-zone ZONE   the zone the camera's clock was set to, for photos that
                       do not state their offset (OffsetTimeOriginal): UTC,
                       +HH:MM, -HH:MM, or a time zone's name (Europe/Berlin;
                       on Windows W. Europe Standard Time); by default the PC's
                       own zone. A named zone's daylight saving, and the PC's,
                       is taken at each photo's date.
  --clock-offset OFFSET
                       seconds the logger's clock is ahead of the camera's,
                       added to each photo's time: +90 when the camera is 90 s
                       slow. [+-]SS, [+-]MM:SS or [+-]HH:MM:SS.
  --max-interpolation S
                       the longest gap between two fixes, in seconds, within
                       which a position is interpolated (default 1800).
  --max-extrapolation S
                       otherwise the nearer fix is taken when it is at most S
                       seconds away (default 1800).
  --replace            tag photos that have a position already (by default
                       they are left alone).
  --remove             remove the position this program writes instead.
  --dry-run            say what would happen, change nothing.
  --all, --from, --to, --tag
                       the fixes to use, as for quillon-convert (all by
                       default).
  -h, --help           show this text.

One line per photo on standard output, its fields separated by tabs: the path,
the camera's time as the photo holds it, the corrected time in UTC, latitude,
longitude and altitude of the position (empty when there is none), and what
became of the photo (tagged, sidecar, already has a position, no time taken,
outside the track, not a photo, or why it failed). A summary follows on standard
error.
Exit status: 0 every photo was tagged or deliberately left alone; 1 a photo
failed, or the log cannot be read or holds no fix; 2 the command line is
wrong or the tool refuses the range.
)USAGE";

namespace {

std::optional<double> Seconds(const std::string& text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !(value >= 0.0)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<GeotagOptions> ParseGeotagOptions(const std::vector<std::string>& args, std::string& error) {
  GeotagOptions options;
  RangeOptionReader ranges(options.range, options.dateTexts, options.tagText);

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == "-h" || arg == "--help") {
      options.help = true;
      return options;
    } else if (const auto read = ranges.Read(args, i, error); read != RangeOptionReader::Result::kNotARangeOption) {
      if (read == RangeOptionReader::Result::kRefused) return std::nullopt;
    } else if (arg == "--camera-zone") {
      const std::string* text = value();
      if (!text) return std::nullopt;
      const std::optional<CameraZone> zone = CameraZone::Parse(*text);
      if (!zone) {
        error = "unknown camera zone '" + *text + "' (UTC, +HH:MM, -HH:MM or a time zone name)";
        return std::nullopt;
      }
      options.request.cameraZone = *zone;
    } else if (arg == "--clock-offset") {
      const std::string* text = value();
      if (!text) return std::nullopt;
      const std::optional<std::int64_t> offset = ParseClockOffset(*text);
      if (!offset) {
        error = "clock offset '" + *text + "' is not [+-]SS, [+-]MM:SS or [+-]HH:MM:SS";
        return std::nullopt;
      }
      options.request.clockOffsetSeconds = *offset;
    } else if (arg == "--max-interpolation" || arg == "--max-extrapolation") {
      const std::string* text = value();
      if (!text) return std::nullopt;
      const std::optional<double> seconds = Seconds(*text);
      if (!seconds) {
        error = "option " + arg + " takes a number of seconds, not '" + *text + "'";
        return std::nullopt;
      }
      (arg == "--max-interpolation" ? options.request.limits.maxInterpolationSeconds
                                    : options.request.limits.maxExtrapolationSeconds) = *seconds;
    } else if (arg == "--replace") {
      options.request.replacePositions = true;
    } else if (arg == "--remove") {
      options.request.removePositions = true;
    } else if (arg == "--dry-run") {
      options.request.dryRun = true;
    } else if (arg == "--recursive") {
      options.recursive = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.rawLog.empty()) {
      options.rawLog = arg;
    } else {
      options.photos.push_back(arg);
    }
  }
  if (options.rawLog.empty()) {
    error = "no raw log given";
    return std::nullopt;
  }
  if (options.photos.empty()) {
    error = "no photo or folder given";
    return std::nullopt;
  }
  if (options.request.removePositions && options.request.replacePositions) {
    error = "--remove and --replace do not go together";
    return std::nullopt;
  }
  return options;
}

}  // namespace quillon
