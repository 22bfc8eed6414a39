// Hot row loops are compiled twice, for portable x86-64 and for AVX2, and
// the better one is chosen when the library loads; elsewhere, once.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(LUMETRA_NO_VECTOR_CLONES)
#define LUMETRA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LUMETRA_VECTOR_CLONES
#endif
