#pragma once

// SONAVEIL_TEST_SANITIZED is 1 in a build under AddressSanitizer, ThreadSanitizer or
// MemorySanitizer. Their allocator owns malloc and operator new: a test that counts allocations
// asks it through __sanitizer_install_malloc_and_free_hooks instead of replacing them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SONAVEIL_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define SONAVEIL_TEST_SANITIZED 1
#endif
#endif
#ifndef SONAVEIL_TEST_SANITIZED
#define SONAVEIL_TEST_SANITIZED 0
#endif

#if SONAVEIL_TEST_SANITIZED
#include <cstddef>

// The sanitizer runtimes' own hook (declared here: GCC installs no header for it). The hooks are
// called for every allocation and release, on the thread that makes it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onAllocation)(const volatile void*, std::size_t),
                                                         void (*onRelease)(const volatile void*));
#endif
