// Counts every allocation of the test program (its libraries' included: malloc is replaced
// here for the whole process, or under a sanitizer its allocator reports to us) while a check
// asks for it.

#include "noallocation.h"

#include "sanitized.h"

#include <atomic>
#include <cstddef>

#if !SONAVEIL_TEST_SANITIZED
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
}
#endif

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_count{0};

void count()
{
    if (g_counting.load(std::memory_order_relaxed))
        g_count.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

#if SONAVEIL_TEST_SANITIZED
namespace {
// The sanitizer's allocator serves malloc and operator new alike and tells each to this hook.
void onAllocation(const volatile void*, std::size_t)
{
    count();
}
void onRelease(const volatile void*) {}
const int g_hooked = __sanitizer_install_malloc_and_free_hooks(onAllocation, onRelease);
} // namespace
#else
extern "C" {
void* malloc(std::size_t n)
{
    count();
    return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t m)
{
    count();
    return __libc_calloc(n, m);
}
void* realloc(void* p, std::size_t n)
{
    count();
    return __libc_realloc(p, n);
}
void* memalign(std::size_t a, std::size_t n)
{
    count();
    return __libc_memalign(a, n);
}
void* aligned_alloc(std::size_t a, std::size_t n)
{
    count();
    return __libc_memalign(a, n);
}
int posix_memalign(void** p, std::size_t a, std::size_t n)
{
    count();
    *p = __libc_memalign(a, n);
    return *p ? 0 : 12;
}
}
#endif

AllocationCount::AllocationCount()
{
    g_count = 0;
    g_counting = true;
}

AllocationCount::~AllocationCount()
{
    g_counting = false;
}

long AllocationCount::count() const
{
    return g_count.load();
}
