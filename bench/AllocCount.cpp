// Counts heap allocations: the C allocation functions of this program are replaced by counting ones that
// hand on to the C library's own. Every allocation of the process goes through them (operator new, the
// standard containers, SDL and its satellites), so a frame's allocations are the difference of the count
// before and after it. Allocations made by other threads (the audio mixer) are counted apart.
#include "AllocCount.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C"
{
    void* __libc_malloc(size_t size);
    void* __libc_calloc(size_t num, size_t size);
    void* __libc_realloc(void* ptr, size_t size);
    void* __libc_memalign(size_t alignment, size_t size);
    void __libc_free(void* ptr);
}

static long sMainCount = 0;
static std::atomic<long> sOtherCount{0};
static __thread bool tMainThread = false;

static inline void Count()
{
    if (tMainThread)
        ++sMainCount;
    else
        sOtherCount.fetch_add(1, std::memory_order_relaxed);
}

void AllocCountSetMainThread()
{
    tMainThread = true;
}

long AllocCountMain()
{
    return sMainCount;
}

long AllocCountOther()
{
    return sOtherCount.load(std::memory_order_relaxed);
}

extern "C"
{
    void* malloc(size_t size)
    {
        Count();
        return __libc_malloc(size);
    }

    void* calloc(size_t num, size_t size)
    {
        Count();
        return __libc_calloc(num, size);
    }

    void* realloc(void* ptr, size_t size)
    {
        Count();
        return __libc_realloc(ptr, size);
    }

    void free(void* ptr)
    {
        __libc_free(ptr);
    }

    void* memalign(size_t alignment, size_t size)
    {
        Count();
        return __libc_memalign(alignment, size);
    }

    void* aligned_alloc(size_t alignment, size_t size)
    {
        Count();
        return __libc_memalign(alignment, size);
    }

    int posix_memalign(void** ptr, size_t alignment, size_t size)
    {
        if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
        Count();
        void* p = __libc_memalign(alignment, size);
        if (!p) return ENOMEM;
        *ptr = p;
        return 0;
    }
}
