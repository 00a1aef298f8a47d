#pragma once
// What the sixteen-lane (AVX-512) code paths share: the instruction sets
// they are compiled for, and a guard around them for a false warning.

#define PELT_WIDE_LANES_TARGET gnu::target("avx2,bmi2,avx512f,avx512bw,avx512vl")

// GCC 12's AVX-512 headers set up undefined vectors in a way its own
// uninitialised-use warnings flag (fixed in GCC 13).
#if defined(__GNUC__) && !defined(__clang__)
#define PELT_WIDE_LANES_BEGIN                                   \
  _Pragma("GCC diagnostic push")                                \
  _Pragma("GCC diagnostic ignored \"-Wmaybe-uninitialized\"")   \
  _Pragma("GCC diagnostic ignored \"-Wuninitialized\"")
#define PELT_WIDE_LANES_END _Pragma("GCC diagnostic pop")
#else
#define PELT_WIDE_LANES_BEGIN
#define PELT_WIDE_LANES_END
#endif
