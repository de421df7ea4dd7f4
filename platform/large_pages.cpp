#include "platform/large_pages.h"

#include <cstdint>
#include <sys/mman.h>

void PreferLargePages(const void* block, size_t bytes) {
    constexpr uintptr_t kLargePage = 2u << 20;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kLargePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}
