#pragma once

#include <cstddef>

namespace quillon {

// Asks the system to back a large, not yet touched buffer with huge pages
// where it can. A full logger memory needs some 70 MB of fresh memory at each
// reload, and on virtual machines the first touch of every 4 KB page is
// expensive; huge pages cut that cost by an order of magnitude. Has no effect
// on the buffer's content, and none at all where the system offers no such
// advice.
void PreferHugePages(void* data, std::size_t bytes);

}  // namespace quillon
