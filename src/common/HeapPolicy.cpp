#include "common/HeapPolicy.h"

#include <cstdlib> // names the C library (__GLIBC__)

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepLargeBuffersResident()
{
#if defined(__GLIBC__)
    // Buffers up to 32 MiB come from the heap, where growing one in place
    // and reusing a freed one cost no new pages; up to 64 MiB of free heap
    // is kept rather than returned. These are the figures the library
    // itself drifts to at most after large frees, fixed from the start.
    constexpr int kMiB = 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, 32 * kMiB);
    mallopt(M_TRIM_THRESHOLD, 64 * kMiB);
#endif
}
