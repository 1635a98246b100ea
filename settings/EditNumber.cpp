#include "settings/EditNumber.h"

#include <algorithm>
#include <limits>

#include "logdata/NumberText.h"

namespace quillon {

std::int32_t ParseEditNumber(std::string_view text) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(WholeNumber(text, number_text::kSpaceAndTab).value_or(0), kMin, kMax));
}

}  // namespace quillon
