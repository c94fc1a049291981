#include "platform/memory_allocator.h"

#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quobel {
namespace {

#if defined(__GLIBC__)
constexpr int kLargestHeapBuffer = 32 << 20;
// Past the reserve, so that freeing never hands the reserved pages back: growing the heap again
// would give pages without the advice.
constexpr int kTrimThreshold = 2 * static_cast<int>(HeapReserve());

void ReserveHeapOnHugePages() {
#if defined(MADV_HUGEPAGE)
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    // A block the heap has no room for makes glibc move the program break by its size plus the
    // top pad: the reserve.
    ::mallopt(M_TOP_PAD, static_cast<int>(HeapReserve()));
    const auto before = reinterpret_cast<uintptr_t>(::sbrk(0));
    // Volatile, or the compiler may drop a block that is only allocated and freed.
    void* volatile probe = std::malloc(size_t{1} << 20);
    const auto after = reinterpret_cast<uintptr_t>(::sbrk(0));
    // Only when the break moved as expected: a sanitizer's allocator, for one, takes its memory
    // elsewhere, and advising memory that is not the heap could turn its shadow into huge pages.
    if (after >= before + HeapReserve()) {
        const uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
        // A failure only leaves the heap on small pages.
        static_cast<void>(::madvise(reinterpret_cast<void*>(start), after - start, MADV_HUGEPAGE));
    }
    std::free(probe);
    // Later growth in glibc's usual steps.
    ::mallopt(M_TOP_PAD, 128 << 10);
#endif
}
#endif

}  // namespace

void TuneMemoryAllocator() {
#if defined(__GLIBC__)
    // Failures leave the allocator as it was, which costs only the memory and time described in
    // the header.
    static_cast<void>(::mallopt(M_ARENA_MAX, 2));
    static_cast<void>(::mallopt(M_MMAP_THRESHOLD, kLargestHeapBuffer));
    static_cast<void>(::mallopt(M_TRIM_THRESHOLD, kTrimThreshold));
    ReserveHeapOnHugePages();
#endif
}

}  // namespace quobel
