#include "heappeak.h"

#include <cstddef>

// The sanitizer allocator's interface, declared weak: a build without a sanitizer leaves them
// null rather than failing to link.
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void *, size_t),
                                              void (*freeHook)(const volatile void *))
    __attribute__((weak));
size_t __sanitizer_get_allocated_size(const volatile void *p) __attribute__((weak));
}

namespace corvane::fuzz {

namespace {

// Per thread, so that the allocations of other threads (the test runner has some) do not count.
// Plain values: the hooks run inside the allocator and must not allocate themselves.
thread_local bool t_counting = false;
thread_local qint64 t_held = 0;
thread_local qint64 t_peak = 0;

void onMalloc(const volatile void *, size_t size)
{
    if (!t_counting)
        return;
    t_held += qint64(size);
    if (t_held > t_peak)
        t_peak = t_held;
}

void onFree(const volatile void *p)
{
    if (!t_counting || !p)
        return;
    t_held -= qint64(__sanitizer_get_allocated_size(p));
}

bool installHooks()
{
    if (!__sanitizer_install_malloc_and_free_hooks || !__sanitizer_get_allocated_size)
        return false;
    return __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
}

} // namespace

bool HeapPeak::available()
{
    static const bool installed = installHooks();
    return installed;
}

HeapPeak::HeapPeak()
{
    if (!available())
        return;
    t_held = 0;
    t_peak = 0;
    t_counting = true;
}

HeapPeak::~HeapPeak()
{
    t_counting = false;
}

qint64 HeapPeak::peakBytes() const
{
    return available() ? t_peak : -1;
}

} // namespace corvane::fuzz
