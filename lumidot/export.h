#pragma once

// The library is built with hidden visibility; only what carries this mark is exported.
#if defined(LUMIDOT_BUILDING)
#define LUMIDOT_EXPORT __attribute__((visibility("default")))
#else
#define LUMIDOT_EXPORT
#endif
