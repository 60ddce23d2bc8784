#pragma once

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace sonaveil {

// Hands the heap's free pages back to the system: after work that allocated much and freed it
// (start-up, building the live sounds), so that a program running all night does not keep it.
inline void releaseFreeMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace sonaveil
