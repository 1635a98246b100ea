#include "platform/MemoryAdvice.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quillon {

#ifdef __linux__

void PreferHugePages(void* data, std::size_t bytes) {
  // A buffer smaller than a few huge pages gains nothing.
  constexpr std::size_t kWorthwhile = std::size_t{4} << 20;
  if (bytes < kWorthwhile) return;
  static const std::uintptr_t kPageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
  std::uintptr_t end = begin + bytes;
  begin = (begin + kPageSize - 1) & ~(kPageSize - 1);
  end &= ~(kPageSize - 1);
  // Only the whole pages inside the buffer: the advice must not reach memory
  // that belongs to anything else. Failure only means no huge pages.
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

#else

void PreferHugePages(void*, std::size_t) {}

#endif

}  // namespace quillon
