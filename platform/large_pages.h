// Asking the kernel to back a large block that is about to be filled with
// large pages: the first touch of each 4 KiB page otherwise costs a fault.
#pragma once

#include <cstddef>

// A hint only: nothing changes when the kernel declines.
void PreferLargePages(const void* block, size_t bytes);
