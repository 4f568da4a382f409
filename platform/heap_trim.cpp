#include "platform/heap_trim.h"

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

}  // namespace platform
