// Hot row loops are compiled three times, for x86-64-v4 (AVX-512 with its
// 64-bit multiplies, shifts and conversions, which the per-hue and tone
// passes lean on), for AVX2 and for the portable x86-64 baseline, and the
// best one the processor runs is chosen once when the library loads (an
// ELF ifunc resolver); functions they inline are compiled for all three
// targets too. Each target computes the same bits: the loops hold
// integers and IEEE floating point, and no multiply-add is ever fused.
// Elsewhere, and in builds that define LUMETRA_NO_VECTOR_CLONES
// (ThreadSanitizer cannot run the resolvers), once.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) && \
    !defined(LUMETRA_NO_VECTOR_CLONES)
#define LUMETRA_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
// Loops measured slower in 512-bit lanes than in 256-bit ones take the
// AVX2 and baseline clones alone.
#define LUMETRA_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LUMETRA_VECTOR_CLONES
#define LUMETRA_AVX2_CLONES
#endif

// Loops written with AVX2 intrinsics live in functions marked
// LUMETRA_AVX2, compiled where LUMETRA_AVX2_INTRINSICS is 1, and run only
// when cpuHasAvx2() says the processor has AVX2; a portable loop serves
// everywhere else.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define LUMETRA_AVX2_INTRINSICS 1
#define LUMETRA_AVX2 __attribute__((target("avx2")))
#include <cstdint>
#include <cstdlib>
namespace lumetra {
inline bool cpuHasAvx2() { return __builtin_cpu_supports("avx2"); }
// Passes written with AVX-512 intrinsics (byte permutations among them,
// AVX-512 VBMI, and 64-bit multiplies, AVX-512 DQ) live in functions
// marked LUMETRA_AVX512_VBMI and run only when cpuHasAvx512Vbmi(). The
// environment variable LUMETRA_NO_AVX512_PASSES (read once, when a pass
// first asks) sends them to their AVX2 or compiled versions instead, which
// lets the tests run both on one processor; the compiled clones above are
// left as they are.
#define LUMETRA_AVX512_VBMI __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512dq,avx512vbmi")))
inline bool cpuHasAvx512Vbmi() {
    static const bool usable = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw") &&
                               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
                               !std::getenv("LUMETRA_NO_AVX512_PASSES");
    return usable;
}
// Passes that also move bits across bytes (GFNI's affine transform),
// count them per byte (AVX-512 BITALG) or shift across pairs of words
// (AVX-512 VBMI2) are marked LUMETRA_AVX512_BITS and run only when
// cpuHasAvx512Bits(): on top of the above, which every processor with
// those has, and under the same environment switch.
#define LUMETRA_AVX512_BITS \
    __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512dq,avx512vbmi,avx512vbmi2,avx512bitalg,gfni")))
inline bool cpuHasAvx512Bits() {
    static const bool usable = cpuHasAvx512Vbmi() && __builtin_cpu_supports("avx512bitalg") &&
                               __builtin_cpu_supports("gfni") && __builtin_cpu_supports("avx512vbmi2");
    return usable;
}
// GCC 12's AVX-512 intrinsics start some results from undefined lanes,
// which it then warns of; code using them sits between these two.
#if !defined(__clang__)
#define LUMETRA_AVX512_WARNINGS_OFF \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wmaybe-uninitialized\"") \
        _Pragma("GCC diagnostic ignored \"-Wuninitialized\"")
#define LUMETRA_AVX512_WARNINGS_ON _Pragma("GCC diagnostic pop")
#else
#define LUMETRA_AVX512_WARNINGS_OFF
#define LUMETRA_AVX512_WARNINGS_ON
#endif
// Eight 32-bit lanes read from or written to memory of any alignment.
LUMETRA_AVX2 inline __m256i load8(const int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
LUMETRA_AVX2 inline void store8(int32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
}  // namespace lumetra
#else
#define LUMETRA_AVX2_INTRINSICS 0
#endif
