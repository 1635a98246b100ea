#include <gtest/gtest.h>

#include "orvex/NmeaRenderer.h"

namespace quillon::orvex {
namespace {

LoggerFix At(UtcDateTime when) {
  LoggerFix fix;
  fix.utcSeconds = *ToSecondsSince2000(when);
  return fix;
}

struct RenderCase {
  const char* what;
  LoggerFix fix;
  const char* gga;
  const char* rmc;
};

std::vector<RenderCase> RenderCases() {
  LoggerFix taipei = At({2008, 3, 12, 14, 5, 9});
  taipei.positionValid = true;
  taipei.latitude = 25 * 600000 + 31234;
  taipei.longitude = 121 * 600000 + 305678;
  taipei.altitudeDm = 545;
  taipei.speedCentiKnots = 1270;
  taipei.courseCentiDegrees = 35999;
  taipei.hdopCenti = 90;
  taipei.satellites = 8;

  LoggerFix southWest = At({2009, 1, 1, 0, 0, 0});
  southWest.positionValid = true;
  southWest.latitude = -(5 * 600000 + 7);
  southWest.longitude = -(7 * 600000 + 100000);
  southWest.altitudeDm = -25;
  southWest.speedCentiKnots = 5;
  southWest.hdopCenti = 105;
  southWest.satellites = 12;

  LoggerFix noPosition = At({2008, 12, 31, 23, 59, 55});
  noPosition.hdopCenti = 990;

  return {
      {"position in the north-east", taipei,
       "$GPGGA,140509.000,2503.1234,N,12130.5678,E,1,08,0.90,54.5,M,,M,,*43",
       "$GPRMC,140509.000,A,2503.1234,N,12130.5678,E,12.70,359.99,120308,,,A*59"},
      {"south-west, leading zeros, below sea level", southWest,
       "$GPGGA,000000.000,0500.0007,S,00710.0000,W,1,12,1.05,-2.5,M,,M,,*54",
       "$GPRMC,000000.000,A,0500.0007,S,00710.0000,W,0.05,0.00,010109,,,A*69"},
      {"no position (status V)", noPosition, "$GPGGA,235955.000,,,,,0,00,9.90,,M,,M,,*6B",
       "$GPRMC,235955.000,V,,,,,0.00,0.00,311208,,,N*49"},
  };
}

TEST(NmeaRendererTest, RendersBothSentencesWithChecksumAndCrLf) {
  for (const auto& c : RenderCases()) {
    SCOPED_TRACE(c.what);
    std::string out;
    RenderFix(c.fix, false, out);
    EXPECT_EQ(out, std::string(c.gga) + "\r\n" + c.rmc + "\r\n");
  }
}

TEST(NmeaRendererTest, TagFieldStandsBeforeBothSentences) {
  struct Case {
    std::uint16_t tag;
    const char* field;
  } cases[] = {{0, "---"}, {7, "--7"}, {12, "-12"}, {123, "123"}, {999, "999"}, {1000, "999"}};
  const RenderCase base = RenderCases()[0];
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    LoggerFix fix = base.fix;
    fix.tag = c.tag;
    std::string out;
    RenderFix(fix, true, out);
    EXPECT_EQ(out, std::string(c.field) + "," + base.gga + "\r\n" + c.field + "," + base.rmc + "\r\n");
  }
}

TEST(NmeaRendererTest, AppendsToWhatIsThere) {
  std::string out = "before\r\n";
  RenderFix(RenderCases()[2].fix, false, out);
  EXPECT_EQ(out.rfind("before\r\n$GPGGA", 0), 0u);
}

}  // namespace
}  // namespace quillon::orvex
