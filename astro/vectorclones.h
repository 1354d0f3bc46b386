#pragma once

// Marks a function whose loops the compiler packs: on x86-64 Linux it gets a
// second version for processors with AVX2, chosen once when the program
// loads. Without fused multiply-add, both versions compute the same values.
#if defined(__x86_64__) && defined(__linux__)
#define ORVALIS_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ORVALIS_AVX2_CLONES
#endif
