#pragma once

#include <cstddef>
#include <memory_resource>

namespace memory {

/// Asks the kernel to back the whole huge pages within [data, data + size) with huge pages, to be
/// called before the memory is first written. Filling a fresh buffer of many megabytes otherwise
/// costs a page fault every 4 KiB, which on a virtual machine takes longer than the filling
/// itself. Only a hint: where the kernel declines, nothing changes.
void adviseHugePages(const void* data, std::size_t size);

/// Memory from the global operator new, each block of some megabytes advised for huge pages.
/// Stateless, so one instance serves all, as std::pmr::new_delete_resource() does.
[[nodiscard]] std::pmr::memory_resource* hugePageResource();

} // namespace memory
