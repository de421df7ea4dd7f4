// Large pages: a block that is about to be filled is better backed by 2 MiB
// pages than by 4 KiB ones, whose first touch each costs a fault (on the
// machines measured, about a microsecond each, and the fault of one large
// page about as much as forty small ones).
#pragma once

#include <cstddef>

// Asks the kernel to back [block, block + bytes) with large pages where they
// fit. A hint only: nothing changes when the kernel declines.
void PreferLargePages(const void* block, size_t bytes);

// A zero-filled block of memory of its own mapping, starting on a large
// page and with large pages asked for, so that a block of up to 2 MiB filled
// from its start takes one fault. Without large pages it is ordinary memory.
class CLargePageBlock {
public:
    CLargePageBlock() = default;
    CLargePageBlock(const CLargePageBlock&) = delete;
    CLargePageBlock& operator=(const CLargePageBlock&) = delete;
    CLargePageBlock(CLargePageBlock&& other) noexcept;
    CLargePageBlock& operator=(CLargePageBlock&& other) noexcept;
    ~CLargePageBlock();

    // Maps `bytes` bytes (any earlier block is released); false when there is
    // no memory for them.
    bool Allocate(size_t bytes);
    char* Data() const { return m_pData; }

private:
    void Release();
    void* m_pMapping = nullptr;
    size_t m_nMapped = 0;
    char* m_pData = nullptr;
};
