// Shared pieces of the benchmarks: the 12 MP test picture, the memcpy floor,
// the common timing loop, and how a benchmark names its peer so the summary
// can print ratios.
//
// Every benchmark is registered with a name "family/case". The summary
// printed after the run gives, for each, its time in ms, MP/s, the ratio to
// the floor "floor/memcpy", the ratio to its peer "peer/NAME" of the same
// run when it named one through finish(), and the goal set for it in the
// goal table of bench_support.cpp with whether this run meets it. With
// --summary_json=FILE (scripts/bench.sh --json FILE) the summary is also
// written as JSON, with the machine it ran on; scripts/perf-table.py turns
// that into the README's performance table.
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

// A destination like `like` whose pages are touched, so that no timed
// call pays for its first writes. Every benchmark's destination (peers'
// too) is made this way.
OwnedImage touchedImageLike(const IplImage* like, int channels);

// The common timing loop: run(src, dst) on the test picture into a
// 3-channel touched destination, then finish(state, peer).
template <class Run>
void timeOnPicture(benchmark::State& state, Run run, const char* peer = nullptr) {
    const IplImage* src = testPicture();
    const OwnedImage dst = touchedImageLike(src, 3);
    for (auto _ : state) {
        run(src, dst.get());
        benchmark::DoNotOptimize(dst->imageData);
    }
    finish(state, peer);
}

}  // namespace lumetra::bench
