#pragma once

#include <array>
#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

enum class ConvertFormat { kCsv, kKml, kTrackmaker, kLocr, kGpx };
enum class ConvertRange { kAll, kByDate, kByTag };

// What the command line of quillon-convert asks for.
struct ConvertOptions {
  bool help = false;
  std::string rawLog;
  ConvertFormat format = ConvertFormat::kCsv;
  bool useLocalTime = false;
  ConvertRange range = ConvertRange::kAll;
  // The eight date boxes, from year to end hour, as typed.
  std::array<std::string, 8> dateTexts;
  std::string tagText;
  std::optional<std::string> outputPath;
};

// Parses the arguments after the program name. Sets `error` and returns
// nothing when they do not form a command.
std::optional<ConvertOptions> ParseConvertOptions(const std::vector<std::string>& args, std::string& error);

extern const char kConvertUsage[];

// The value of --from (first = 0) or --to (first = 4), "Y,M,D,H", into its
// four of the eight date boxes; missing parts leave their boxes empty, as an
// untouched box would be. False for more than four parts.
bool SplitDateOption(const std::string& text, std::array<std::string, 8>& boxes, std::size_t first);

// The range mode of the window's radio buttons that a range option stands for.
std::uint8_t RangeModeOf(ConvertRange range);

// Reads the range options of the command-line tools (--all, --from Y,M,D,H,
// --to Y,M,D,H, --tag TEXT) into the fields it is given, refusing a mix of
// them.
class RangeOptionReader {
 public:
  enum class Result { kNotARangeOption, kRead, kRefused };

  RangeOptionReader(ConvertRange& range, std::array<std::string, 8>& dateTexts, std::string& tagText)
      : range_(range), dateTexts_(dateTexts), tagText_(tagText) {}

  // Reads args[i] when it is a range option, moving i past its value; sets
  // `error` when it is refused.
  Result Read(const std::vector<std::string>& args, std::size_t& i, std::string& error);

 private:
  bool Choose(ConvertRange range, std::string& error);

  ConvertRange& range_;
  std::array<std::string, 8>& dateTexts_;
  std::string& tagText_;
  bool given_ = false;
};

}  // namespace quillon
