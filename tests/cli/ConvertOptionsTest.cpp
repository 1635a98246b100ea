#include "cli/ConvertOptions.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

std::optional<ConvertOptions> Parse(const std::vector<std::string>& args, std::string* error = nullptr) {
  std::string message;
  auto options = ParseConvertOptions(args, message);
  if (error) *error = message;
  return options;
}

TEST(ConvertOptionsTest, DefaultsAreCsvAllAndUtc) {
  auto options = Parse({"log.txt"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->rawLog, "log.txt");
  EXPECT_EQ(options->format, ConvertFormat::kCsv);
  EXPECT_EQ(options->range, ConvertRange::kAll);
  EXPECT_FALSE(options->useLocalTime);
  EXPECT_FALSE(options->outputPath);
}

TEST(ConvertOptionsTest, DatesFillTheEightBoxesAsTyped) {
  auto options = Parse({"--from", "08,3,07,14", "log.txt", "--to", "2008,03,07", "--local-time", "-o", "out.csv"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->range, ConvertRange::kByDate);
  EXPECT_EQ(options->dateTexts, (std::array<std::string, 8>{"08", "3", "07", "14", "2008", "03", "07", ""}));
  EXPECT_TRUE(options->useLocalTime);
  EXPECT_EQ(options->outputPath, "out.csv");
}

TEST(ConvertOptionsTest, FormatsAndTag) {
  const std::pair<const char*, ConvertFormat> formats[] = {{"csv", ConvertFormat::kCsv},
                                                            {"kml", ConvertFormat::kKml},
                                                            {"trackmaker", ConvertFormat::kTrackmaker},
                                                            {"locr", ConvertFormat::kLocr},
                                                            {"gpx", ConvertFormat::kGpx}};
  for (const auto& [name, format] : formats) {
    SCOPED_TRACE(name);
    auto options = Parse({"log.txt", "--format", name, "--tag", "005"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->format, format);
    EXPECT_EQ(options->range, ConvertRange::kByTag);
    EXPECT_EQ(options->tagText, "005");
  }
}

TEST(ConvertOptionsTest, HelpWinsOverEverythingElse) {
  for (const char* flag : {"--help", "-h"}) {
    auto options = Parse({flag, "--bogus"});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->help);
  }
}

TEST(ConvertOptionsTest, BadCommandLinesAreRefusedWithAReason) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{}, "no raw log given"},
      {{"a.txt", "b.txt"}, "more than one raw log given"},
      {{"a.txt", "--format", "GPX"}, "unknown format 'GPX' (csv, kml, trackmaker, locr or gpx)"},
      {{"a.txt", "--format"}, "option --format needs a value"},
      {{"a.txt", "--all", "--tag", "1"}, "choose one of --all, --from/--to and --tag"},
      {{"a.txt", "--tag", "1", "--from", "2008,1,1,1"}, "choose one of --all, --from/--to and --tag"},
      {{"a.txt", "--from", "2008,1,1,1,1"}, "option --from takes Y,M,D,H (four values)"},
      {{"a.txt", "--verbose"}, "unknown option --verbose"},
      {{"a.txt", "-o"}, "option -o needs a value"},
  };
  for (const auto& [args, reason] : cases) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    SCOPED_TRACE(joined);
    std::string error;
    EXPECT_FALSE(Parse(args, &error));
    EXPECT_EQ(error, reason);
  }
}

}  // namespace
}  // namespace quillon
