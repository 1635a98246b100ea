#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillon {

// Calls visit(i) for every index i of [data, data + size) whose byte is `a`
// or `b`, in order, until visit returns false. The raw log parser looks for
// a handful of bytes in every line; testing sixteen bytes at a time keeps the
// scan well below a cycle per byte. Never reads outside the range.
template <typename Visit>
inline void ForEachByteOf(const char* data, std::size_t size, char a, char b, Visit&& visit) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i wantA = _mm_set1_epi8(a);
  const __m128i wantB = _mm_set1_epi8(b);
  for (; i + 16 <= size; i += 16) {
    __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    auto mask = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, wantA), _mm_cmpeq_epi8(chunk, wantB))));
    while (mask != 0) {
      if (!visit(i + static_cast<std::size_t>(__builtin_ctz(mask)))) return;
      mask &= mask - 1;
    }
  }
#endif
  for (; i < size; ++i) {
    if ((data[i] == a || data[i] == b) && !visit(i)) return;
  }
}

}  // namespace quillon
