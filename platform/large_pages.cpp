#include "platform/large_pages.h"

#include <cstdint>
#include <sys/mman.h>
#include <utility>

namespace {
constexpr uintptr_t kLargePage = 2u << 20;
}

void PreferLargePages(const void* block, size_t bytes) {
    const uintptr_t first = (reinterpret_cast<uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kLargePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

CLargePageBlock::CLargePageBlock(CLargePageBlock&& other) noexcept
    : m_pMapping(std::exchange(other.m_pMapping, nullptr)),
      m_nMapped(std::exchange(other.m_nMapped, 0)),
      m_pData(std::exchange(other.m_pData, nullptr)) {}

CLargePageBlock& CLargePageBlock::operator=(CLargePageBlock&& other) noexcept {
    if (this != &other) {
        Release();
        m_pMapping = std::exchange(other.m_pMapping, nullptr);
        m_nMapped = std::exchange(other.m_nMapped, 0);
        m_pData = std::exchange(other.m_pData, nullptr);
    }
    return *this;
}

CLargePageBlock::~CLargePageBlock() { Release(); }

bool CLargePageBlock::Allocate(size_t bytes) {
    Release();
    if (bytes == 0)
        bytes = 1;
    // Large pages are placed at addresses that are multiples of their size:
    // map one more large page than asked, and start at the first such
    // address. The address space this leaves unused is never touched.
    const size_t rounded = (bytes + kLargePage - 1) & ~(kLargePage - 1);
    if (rounded < bytes || rounded > SIZE_MAX - kLargePage)
        return false;
    const size_t mapped = rounded + kLargePage;
    void* mapping = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return false;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(mapping) + kLargePage - 1) & ~(kLargePage - 1);
    PreferLargePages(reinterpret_cast<void*>(start), rounded);
    m_pMapping = mapping;
    m_nMapped = mapped;
    m_pData = reinterpret_cast<char*>(start);
    return true;
}

void CLargePageBlock::Release() {
    if (m_pMapping)
        ::munmap(m_pMapping, m_nMapped);
    m_pMapping = nullptr;
    m_nMapped = 0;
    m_pData = nullptr;
}
