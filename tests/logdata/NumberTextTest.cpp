#include "logdata/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace quillon {
namespace {

struct NumberCase {
  std::string text;
  std::int32_t asInt;
  double asDouble;
};

TEST(LeadingNumbers, ReadTheLeadingDigitsOnly) {
  const NumberCase cases[] = {
      {"12.7", 12, 12.7},         {"", 0, 0.0},           {"abc", 0, 0.0},          {"-3x", -3, -3.0},
      {" 45", 45, 45.0},          {"+8", 8, 8.0},         {".5", 0, 0.5},           {"1e3", 1, 1000.0},
      {"99999999999", 2147483647, 99999999999.0},         {"-99999999999", -2147483647 - 1, -99999999999.0},
      {"1e999", 1, HUGE_VAL},     {"1e-999", 1, 0.0},     {"nan", 0, 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("number \"" + c.text + "\"");
    EXPECT_EQ(LeadingInt(c.text), c.asInt);
    EXPECT_EQ(LeadingDouble(c.text), c.asDouble);
  }
}

TEST(LeadingNumbers, UnsignedHoldsThirtyTwoBits) {
  EXPECT_EQ(LeadingUnsigned("4294967295"), 4294967295u);
  EXPECT_EQ(LeadingUnsigned("4294967296"), 4294967295u);
  EXPECT_EQ(LeadingUnsigned("0001234.txt"), 1234u);
  EXPECT_EQ(LeadingUnsigned("-5"), 0u);
  EXPECT_EQ(LeadingUnsigned(""), 0u);
}

TEST(LeadingNumbers, PlainDecimalsReadExactlyAsTheCLibraryReadsThem) {
  std::mt19937_64 random(42);
  for (int i = 0; i < 20000; ++i) {
    int digits = 1 + static_cast<int>(random() % 15);
    int point = static_cast<int>(random() % (digits + 1));
    std::string text;
    for (int d = 0; d < digits; ++d) {
      if (d == point && d > 0) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    if (random() % 4 == 0) text += ",M";
    SCOPED_TRACE(text);
    EXPECT_EQ(LeadingDouble(text), std::strtod(text.c_str(), nullptr));
    EXPECT_EQ(LeadingDouble("-" + text), -std::strtod(text.c_str(), nullptr));
  }
}

}  // namespace
}  // namespace quillon
