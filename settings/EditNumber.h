#pragma once

#include <cstdint>
#include <string_view>

namespace quillon {

// The number typed into an edit field, read as a signed decimal integer:
// blanks around it are allowed, anything else that is not a number gives 0,
// and a number beyond the 32-bit range is held at the nearest limit so that
// a huge entry fails the range checks instead of turning into 0.
std::int32_t ParseEditNumber(std::string_view text);

}  // namespace quillon
