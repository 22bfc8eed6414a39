#include "bench_support.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace lumetra::bench {

namespace {

OwnedImage drawPicture(int width, int height, int channels, uint32_t seed) {
    OwnedImage picture = createImage(width, height, IPL_DEPTH_8U, channels);
    uint32_t state = seed;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rowOf(picture.get(), y);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                state = state * 1664525u + 1013904223u;
                const double wave = 127.5 + 100.0 * std::sin(x * (0.002 + 0.001 * c) + y * 0.003 * (c + 1));
                row[x * channels + c] = static_cast<uint8_t>(std::clamp(wave + (state >> 27) - 16.0, 0.0, 255.0));
            }
        }
    }
    return picture;
}

}  // namespace

const IplImage* testPicture() {
    static const OwnedImage picture = drawPicture(kWidth, kHeight, 3, 1);
    return picture.get();
}

OwnedImage makeTexture(int width, int height, int channels) { return drawPicture(width, height, channels, 7); }

void finish(benchmark::State& state, const char* peer) {
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kWidth) * kHeight);
    if (peer) state.SetLabel(std::string("peer=") + peer);
}

// The floor every routine is compared with: copying the picture once.
void floorMemcpy(benchmark::State& state) {
    const IplImage* src = testPicture();
    OwnedImage dst = createImageLike(src, 3);
    for (auto _ : state) {
        std::memcpy(dst->imageData, src->imageData, static_cast<size_t>(src->imageSize));
        benchmark::ClobberMemory();
    }
    finish(state);
}
BENCHMARK(floorMemcpy)->Name("floor/memcpy")->Unit(benchmark::kMillisecond);

// Prints the usual table, then a summary with the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            Row row{run.benchmark_name(), run.GetAdjustedRealTime() * unitToMs(run.time_unit), run.report_label};
            rows_.push_back(row);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::map<std::string, double> times;
        for (const Row& row : rows_) times[row.name] = row.ms;
        const double floor = times.count("floor/memcpy") ? times["floor/memcpy"] : 0.0;
        std::printf("\n%-44s %10s %9s %10s %10s\n", "routine (12 MP, one thread)", "ms", "MP/s", "x memcpy", "x peer");
        for (const Row& row : rows_) {
            const double megapixels = kWidth * static_cast<double>(kHeight) / 1e6;
            std::printf("%-44s %10.2f %9.0f", row.name.c_str(), row.ms, megapixels / (row.ms / 1000.0));
            if (floor > 0) std::printf(" %10.2f", row.ms / floor);
            else std::printf(" %10s", "-");
            const std::string prefix = "peer=";
            if (row.label.rfind(prefix, 0) == 0 && times.count(row.label.substr(prefix.size())))
                std::printf(" %10.2f  (%s)", row.ms / times[row.label.substr(prefix.size())],
                            row.label.substr(prefix.size()).c_str());
            std::printf("\n");
        }
    }

private:
    struct Row {
        std::string name;
        double ms;
        std::string label;
    };
    static double unitToMs(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kNanosecond: return 1e-6;
            case benchmark::kMicrosecond: return 1e-3;
            case benchmark::kMillisecond: return 1.0;
            default: return 1e3;
        }
    }
    std::vector<Row> rows_;
};

}  // namespace lumetra::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    lumetra::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
