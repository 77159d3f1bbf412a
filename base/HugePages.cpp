#include "base/HugePages.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>

namespace memory {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;

class HugePageResource final : public std::pmr::memory_resource
{
    void* do_allocate(std::size_t bytes, std::size_t alignment) override
    {
        void* block = ::operator new(bytes, std::align_val_t(alignment));
        adviseHugePages(block, bytes);
        return block;
    }
    void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override
    {
        // Not the sized form: clang builds without sized deallocation by default.
        (void)bytes;
        ::operator delete(block, std::align_val_t(alignment));
    }
    [[nodiscard]] bool do_is_equal(const memory_resource& other) const noexcept override
    {
        return this == &other;
    }
};

} // namespace

void adviseHugePages(const void* data, std::size_t size)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
    if (last > first)
        (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

std::pmr::memory_resource* hugePageResource()
{
    static HugePageResource resource;
    return &resource;
}

} // namespace memory
