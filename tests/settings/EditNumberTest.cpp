#include "settings/EditNumber.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(ParseEditNumber, ReadsSignedDecimalsAndGivesZeroForAnythingElse) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"", 0},
      {"0", 0},
      {"5", 5},
      {"3600", 3600},
      {"007", 7},
      {"-5", -5},
      {"+12", 12},
      {"  42 ", 42},
      {"\t8", 8},
      {"-", 0},
      {"+", 0},
      {"abc", 0},
      {"12abc", 0},
      {"1 2", 0},
      {"1.5", 0},
      {"--3", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", 2147483647},
      {"99999999999999999999", 2147483647},
      {"-99999999999999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    EXPECT_EQ(ParseEditNumber(c.text), c.value);
  }
}

}  // namespace
}  // namespace quillon
