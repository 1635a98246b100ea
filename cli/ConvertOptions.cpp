#include "cli/ConvertOptions.h"

#include <cstddef>

#include "core/AppState.h"

namespace quillon {

const char kConvertUsage[] =
    R"USAGE(Usage: quillon-convert RAWLOG [--format csv|kml|trackmaker|locr|gpx] [--local-time]
                       [--all | --from Y,M,D,H --to Y,M,D,H | --tag TEXT] [-o OUT]

Converts a raw NMEA log of the ORVEX logger into the export files of Quillon,
with the same selection and the same bytes as the tool's export buttons.

  RAWLOG            the raw log to convert. Its name gives the time stamp and
                    the serial number of the output's default name, as in the
                    tool (20080307140509_Rawdata_123456.txt).
  --format FORMAT   csv (default): the table of "Build Output File";
                    kml: the Google Earth document; trackmaker: the GPS
                    TrackMaker text; locr: the locr GPS file. The locr format
                    writes only the file: it neither changes the locr client's
                    settings nor starts it. gpx: the GPX 1.1 document of
                    "Build GPX File", its times always in UTC. No format
                    opens the file.
  --local-time      use local time (of the TZ environment variable) for the
                    date range and the printed times, as the check box
                    "Use Local Time ( Time Zone )" does.
  --all             every fix (the default).
  --from Y,M,D,H    start year, month, day and hour, taken exactly as typed into
  --to Y,M,D,H      the eight date boxes ("08" is a two-digit year). Both ends
                    are whole hours and inclusive.
  --tag TEXT        the fixes whose tag is the number TEXT, as typed into the
                    tag box ("005"; text that is no number selects tag 0).
  -o OUT            the file to write. Without it the tool's file name is used
                    in the current folder: <stamp>_LogData_<serial>.csv,
                    <stamp>_GoogleEarth_<serial>.kml, Trackmaker.txt,
                    <stamp>_locr_<serial>.txt or <stamp>_LogData_<serial>.gpx.
                    The file is replaced only when it was written completely;
                    through a link, the file the link leads to is written and
                    the link kept. OUT may not be RAWLOG itself, however it is
                    spelled.
  -h, --help        show this text.

On success the path of the written file is printed on standard output, unless
OUT is a stream, a device or a pipe (-o /dev/stdout writes the bytes alone;
-o - is standard output too).
A GPX document leaves out fixes whose position is empty or no coordinate and
says how many on standard error.
Only a regular file is read as RAWLOG; a pipe or a device is refused at once.
Exit status: 0 written; 1 the log cannot be read, holds no fix, or the output
cannot be written (the cause is printed); 2 the command line is wrong, OUT is
RAWLOG, or the tool refuses the range (the tool's message, such as "Please set
search date" or "Please check search range", is printed on standard error).
)USAGE";

namespace {

std::optional<ConvertFormat> FormatByName(const std::string& name) {
  if (name == "csv") return ConvertFormat::kCsv;
  if (name == "kml") return ConvertFormat::kKml;
  if (name == "trackmaker") return ConvertFormat::kTrackmaker;
  if (name == "locr") return ConvertFormat::kLocr;
  if (name == "gpx") return ConvertFormat::kGpx;
  return std::nullopt;
}

}  // namespace

bool SplitDateOption(const std::string& text, std::array<std::string, 8>& boxes, std::size_t first) {
  std::size_t box = first;
  std::size_t start = 0;
  for (;;) {
    if (box == first + 4) return false;
    std::size_t comma = text.find(',', start);
    boxes[box++] = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

std::uint8_t RangeModeOf(ConvertRange range) {
  switch (range) {
    case ConvertRange::kByDate:
      return kRangeByDateMode;
    case ConvertRange::kByTag:
      return kRangeByTagMode;
    case ConvertRange::kAll:
      break;
  }
  return kRangeAllMode;
}

bool RangeOptionReader::Choose(ConvertRange range, std::string& error) {
  if (given_ && range_ != range) {
    error = "choose one of --all, --from/--to and --tag";
    return false;
  }
  given_ = true;
  range_ = range;
  return true;
}

RangeOptionReader::Result RangeOptionReader::Read(const std::vector<std::string>& args, std::size_t& i,
                                                  std::string& error) {
  const std::string& arg = args[i];
  if (arg != "--all" && arg != "--from" && arg != "--to" && arg != "--tag") return Result::kNotARangeOption;
  if (arg == "--all") return Choose(ConvertRange::kAll, error) ? Result::kRead : Result::kRefused;
  if (i + 1 >= args.size()) {
    error = "option " + arg + " needs a value";
    return Result::kRefused;
  }
  const std::string& value = args[++i];
  if (arg == "--tag") {
    if (!Choose(ConvertRange::kByTag, error)) return Result::kRefused;
    tagText_ = value;
    return Result::kRead;
  }
  if (!Choose(ConvertRange::kByDate, error)) return Result::kRefused;
  if (!SplitDateOption(value, dateTexts_, arg == "--from" ? 0 : 4)) {
    error = "option " + arg + " takes Y,M,D,H (four values)";
    return Result::kRefused;
  }
  return Result::kRead;
}

std::optional<ConvertOptions> ParseConvertOptions(const std::vector<std::string>& args, std::string& error) {
  ConvertOptions options;
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
    } else if (arg == "--format") {
      const std::string* name = value();
      if (!name) return std::nullopt;
      std::optional<ConvertFormat> format = FormatByName(*name);
      if (!format) {
        error = "unknown format '" + *name + "' (csv, kml, trackmaker, locr or gpx)";
        return std::nullopt;
      }
      options.format = *format;
    } else if (arg == "--local-time") {
      options.useLocalTime = true;
    } else if (arg == "-o") {
      const std::string* path = value();
      if (!path) return std::nullopt;
      options.outputPath = *path;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.rawLog.empty()) {
      options.rawLog = arg;
    } else {
      error = "more than one raw log given";
      return std::nullopt;
    }
  }
  if (options.rawLog.empty()) {
    error = "no raw log given";
    return std::nullopt;
  }
  return options;
}

}  // namespace quillon
