#pragma once

// The live sounds' per-frame loops, compiled twice: for AVX2 with FMA where the processor has
// them, and for the baseline instruction set. A kernel is written once as an always-inlined body;
// SONAVEIL_DISPATCH makes the two copies and the function that picks one.

#if defined(__x86_64__) || defined(__i386__)
#define SONAVEIL_SIMD_X86 1
#include <immintrin.h>
#define SONAVEIL_AVX2_TARGET __attribute__((target("avx2,fma")))
#endif

#define SONAVEIL_INLINE inline __attribute__((always_inline))

namespace sonaveil::synth::simd {

// Set (before any sound is made or played) to run the baseline copies where AVX2 is there too:
// for comparing the two.
inline bool& baselineOnly()
{
    static bool only = false;
    return only;
}

// True when the AVX2 copies may run.
inline bool avx2()
{
#ifdef SONAVEIL_SIMD_X86
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has && !baselineOnly();
#else
    return false;
#endif
}

} // namespace sonaveil::synth::simd

// Calls name##Avx2 or name##Plain with `args`, whichever the processor runs.
#ifdef SONAVEIL_SIMD_X86
#define SONAVEIL_PICK(name, args) (::sonaveil::synth::simd::avx2() ? name##Avx2 args : name##Plain args)
#else
#define SONAVEIL_PICK(name, args) name##Plain args
#endif

// Defines `ret name params` from `name##Body`, called with `args`.
#ifdef SONAVEIL_SIMD_X86
#define SONAVEIL_DISPATCH(ret, name, params, args)                                                             \
    SONAVEIL_AVX2_TARGET static ret name##Avx2 params { return name##Body args; }                              \
    static ret name##Plain params { return name##Body args; }                                                  \
    ret name params { return ::sonaveil::synth::simd::avx2() ? name##Avx2 args : name##Plain args; }
#else
#define SONAVEIL_DISPATCH(ret, name, params, args)                                                             \
    ret name params { return name##Body args; }
#endif
