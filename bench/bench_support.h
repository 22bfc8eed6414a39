// Shared pieces of the benchmarks: the 12 MP test picture, the memcpy floor,
// and how a benchmark names its peer so the summary can print ratios.
//
// Every benchmark is registered with a name "family/case". The summary
// printed after the run gives, for each, its time in ms, MP/s, the ratio to
// the floor "floor/memcpy" and, when the benchmark called setPeer(state,
// "peer/NAME"), the ratio to that peer benchmark of the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "core/image.h"

namespace lumetra::bench {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A deterministic 4000 x 3000 BGR photo-like picture (smooth gradients with
// detail), made once and shared by every benchmark.
const IplImage* testPicture();
// A deterministic w x h picture with `channels` channels (texture-like).
OwnedImage makeTexture(int width, int height, int channels);

// Reports pixels processed and links the benchmark to its peer.
void finish(benchmark::State& state, const char* peer = nullptr);

}  // namespace lumetra::bench
