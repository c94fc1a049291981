#include "platform/memory_arenas.h"

#include <cstdlib>  // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quobel {

void LimitMemoryArenas() {
#if defined(__GLIBC__)
    // A failure leaves the allocator as it was, which is only the memory cost described above.
    static_cast<void>(::mallopt(M_ARENA_MAX, 2));
#endif
}

}  // namespace quobel
