#include "platform/heap_trim.h"

#include <cstdlib>  // defines __GLIBC__ where it is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

bool returnFreeHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
    return true;
#else
    return false;
#endif
}

bool keepLargeBlocksApart() {
#if defined(__GLIBC__)
    return mallopt(M_MMAP_THRESHOLD, 256 * 1024) == 1;  // a fixed threshold: no longer raised by frees
#else
    return false;
#endif
}

}  // namespace platform
