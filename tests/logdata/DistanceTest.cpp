#include "logdata/Distance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "logdata/NumberText.h"

namespace quillon {
namespace {

TEST(LongitudeFactors, AreTheFloorOf111TimesCosine) {
  const double kPi = std::acos(-1.0);
  for (int i = 0; i < 90; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(kLongitudeFactors[i], static_cast<int>(std::floor(111.0 * std::cos(i * kPi / 180.0))));
  }
  const int first[] = {111, 110, 110, 110, 110, 110, 110, 110, 109, 109, 109, 108};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(kLongitudeFactors[i], first[i]) << i;
  EXPECT_EQ(kLongitudeFactors[45], 78);
  const int last[] = {9, 7, 5, 3, 1};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(kLongitudeFactors[85 + i], last[i]) << 85 + i;
}

TEST(LongitudeFactors, UseTheLatitudesMagnitudeAndEndAt90) {
  EXPECT_EQ(LongitudeFactor(25052056), 100);
  EXPECT_EQ(LongitudeFactor(-25052056), 100);
  EXPECT_EQ(LongitudeFactor(89999999), 1);
  EXPECT_EQ(LongitudeFactor(90000000), 0);
  EXPECT_EQ(LongitudeFactor(-2147483647 - 1), 0);
}

struct DistanceCase {
  const char* name;
  std::int32_t lat1, lon1, lat2, lon2;
  double metres;
};

TEST(DistanceMetres, FlatEarthOnWholeDegreeSteps) {
  const DistanceCase cases[] = {
      {"identical points", 25052056, 121509463, 25052056, 121509463, 0.0},
      {"0.001 degree north", 25052056, 121509463, 25053056, 121509463, 111.319},
      {"0.001 degree east at 25 degrees", 25052056, 121509463, 25052056, 121510463, 900 * 0.111319},
      {"same step in the south-west", -25052056, -121509463, -25052056, -121510463, 900 * 0.111319},
      {"across the equator", 100, 121509463, -100, 121509463, 200 * 0.111319},
      {"across the zero meridian", 0, 100, 0, -100, 200 * 0.111319},
      {"across 180 degrees the short way", 0, 179999900, 0, -179999900, 200 * 0.111319},
      {"30 degrees of longitude at the equator", 0, 0, 0, 30000000, 30000000 * 0.111319},
      {"at the pole only latitude counts", 90000000, 0, 89999000, 50000000, 1000 * 0.111319},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(DistanceMetres(c.lat1, c.lon1, c.lat2, c.lon2), c.metres, 1e-6 * (1 + c.metres));
  }
  EXPECT_EQ(static_cast<int>(DistanceMetres(25052056, 121509463, 25053056, 121509463)), 111);
  EXPECT_EQ(static_cast<int>(DistanceMetres(25052056, 121509463, 25052056, 121510463)), 100);
}

TEST(DistanceMetres, FactorComesFromTheFirstPoint) {
  // 59.9999 and 60.0001 degrees lie in different whole degrees (factors 57 and 55).
  double forward = DistanceMetres(59999900, 10000000, 60000100, 10010000);
  double backward = DistanceMetres(60000100, 10010000, 59999900, 10000000);
  EXPECT_NEAR(forward, std::sqrt(std::pow(10000.0 * 57 / 111, 2) + 200.0 * 200.0) * 0.111319, 0.2);
  EXPECT_GT(forward, backward);
}

// The distance as described for magnitudes, in 32-bit arithmetic.
double DescribedDistance(std::int32_t lat1, std::int32_t lon1, std::int32_t lat2, std::int32_t lon2) {
  std::int32_t k = kLongitudeFactors[lat1 / 1000000];
  std::int32_t dx = std::abs(lon1 - lon2) * k / 111;
  std::int32_t dy = std::abs(lat1 - lat2);
  double d = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
  return d * 111319 / 1000000;
}

TEST(DistanceMetres, EqualsTheMagnitudeRuleWithinOneHemisphere) {
  std::mt19937 random(20080312);
  std::uniform_int_distribution<std::int32_t> latitude(0, 89999999);
  std::uniform_int_distribution<std::int32_t> longitude(0, 179999999);
  std::uniform_int_distribution<std::int32_t> step(-20000, 20000);
  for (int i = 0; i < 2000; ++i) {
    std::int32_t lat1 = latitude(random);
    std::int32_t lon1 = longitude(random);
    std::int32_t lat2 = std::clamp(lat1 + step(random), 0, 89999999);
    std::int32_t lon2 = std::clamp(lon1 + step(random), 0, 179999999);
    double expected = DescribedDistance(lat1, lon1, lat2, lon2);
    SCOPED_TRACE(::testing::Message() << lat1 << "," << lon1 << " -> " << lat2 << "," << lon2);
    EXPECT_EQ(DistanceMetres(lat1, lon1, lat2, lon2), expected);
    EXPECT_EQ(DistanceMetres(-lat1, -lon1, -lat2, -lon2), expected);
    EXPECT_EQ(DistanceMetres(-lat1, lon1, -lat2, lon2), expected);
  }
}

struct MicroCase {
  std::string text;
  bool negative;
  std::int32_t micro;
};

TEST(ToSignedMicroDegrees, ReadsTheDegreeTextExactly) {
  const MicroCase cases[] = {
      {"25.052056", false, 25052056}, {"25.052056", true, -25052056}, {"121.509463", true, -121509463},
      {"", false, 0},                 {".5", false, 500000},          {"25.1", false, 25100000},
      {"25.0520569", false, 25052056}, {"25.1000000", false, 25100000}, {"abc", true, 0},
      {"-2.5", false, -2500000},      {"-2.5", true, 2500000},        {"00.000000", true, 0},
      {"7", false, 7000000},          {"99999.9", false, 2147483647},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"" + (c.negative ? " negative" : ""));
    EXPECT_EQ(ToSignedMicroDegrees(c.text, c.negative), c.micro);
  }
}

// The reading as it was first written, through the shared number pieces:
// the reference the one-pass form must agree with.
std::int32_t MicroDegreesByPieces(std::string_view text, bool negative) {
  number_text::SkipBlanks(text, number_text::kSpace);
  if (number_text::TakeSign(text)) negative = !negative;
  const std::string_view whole = number_text::TakeDigits(text);
  const std::string_view fraction = text.starts_with('.') ? number_text::TakeDigits(text = text.substr(1)) : "";
  if (whole.empty() && fraction.empty()) return 0;
  const std::int64_t micro = std::min<std::int64_t>(
      static_cast<std::int64_t>(number_text::DigitsValue(whole, 10000)) * 1000000 +
          std::stoll((std::string(fraction.substr(0, 6)) + "000000").substr(0, 6)),
      std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(negative ? -micro : micro);
}

TEST(ToSignedMicroDegrees, AgreesWithTheReadingThroughNumberPieces) {
  std::vector<std::string> texts = {"", " ", "-", "+", ".", "-.", "2147.483647", "2147.483648", "10000",
                                    "100000000000000000000.5", "  -25.0520569", "1e5", "25..5"};
  std::mt19937 random(9);
  const std::string alphabet = "01234567890123456789.- +x";
  for (int i = 0; i < 50000; ++i) {
    texts.emplace_back(random() % 16, ' ');
    for (char& c : texts.back()) c = alphabet[random() % alphabet.size()];
  }
  for (const std::string& text : texts) {
    for (bool negative : {false, true}) {
      ASSERT_EQ(ToSignedMicroDegrees(text, negative), MicroDegreesByPieces(text, negative)) << '"' << text << '"';
    }
  }
}

}  // namespace
}  // namespace quillon
