#include "bench_support.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <thread>
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

OwnedImage touchedImageLike(const IplImage* like, int channels) {
    OwnedImage image = createImageLike(like, channels);
    cvSetZero(image.get());
    return image;
}

void finish(benchmark::State& state, const char* peer) {
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kWidth) * kHeight);
    if (peer) state.SetLabel(std::string("peer=") + peer);
}

// The floor every routine is compared with: copying the picture once.
void floorMemcpy(benchmark::State& state) {
    const IplImage* src = testPicture();
    OwnedImage dst = touchedImageLike(src, 3);
    for (auto _ : state) {
        std::memcpy(dst->imageData, src->imageData, static_cast<size_t>(src->imageSize));
        benchmark::ClobberMemory();
    }
    finish(state);
}
BENCHMARK(floorMemcpy)->Name("floor/memcpy")->Unit(benchmark::kMillisecond);

// ---- the summary --------------------------------------------------------

namespace {

// A goal: the routine's time at most `factor` times the floor ("memcpy") or
// its peer ("peer").
struct Goal {
    const char* pattern;  // regular expression over the whole benchmark name
    const char* against;
    double factor;
};

// The goals of the speed issue (12 MP, one thread); the first match holds.
const Goal kGoals[] = {
    {"phototools/(plain_saturation_rotation|global_hue_saturation|per_hue|per_hue_tone_curve)", "memcpy", 20.0},
    {"phototools/(rotate_scale|aberration)", "peer", 1.0},
    {"color/[1-5]|color2/(1|2|5|6|10)", "memcpy", 15.0},
    {"(lomo|vignetting|vignetting2|bw_color)/.*|color2/11", "memcpy", 8.0},
    {"blend3/(color_dodge|color_burn|vivid_light)", "peer", 1.5},
    {"blend3/.*", "peer", 1.0},
    {"blend4/.*", "peer", 1.5},
};

const Goal* goalFor(const std::string& name) {
    for (const Goal& goal : kGoals)
        if (std::regex_match(name, std::regex(goal.pattern))) return &goal;
    return nullptr;
}

// One line of the summary, every ratio from the same run (negative: none).
struct SummaryRow {
    std::string name;
    double ms;
    double megapixelsPerSecond;
    double toMemcpy = -1;
    double toPeer = -1;
    std::string peer;
    const Goal* goal = nullptr;
    double goalRatio = -1;  // the ratio the goal is checked on
};

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string jsonNumber(double value) {
    if (value < 0) return "null";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4g", value);
    return buffer;
}

// The machine: CPU model, logical cores, the date of the run (UTC).
std::string cpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown";
}

std::string utcDate() {
    const std::time_t now = std::time(nullptr);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    return buffer;
}

void writeJson(const std::string& path, const std::vector<SummaryRow>& rows) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return;
    }
    std::fprintf(file, "{\n  \"machine\": {\"cpu\": %s, \"cores\": %u, \"date\": %s},\n",
                 jsonText(cpuModel()).c_str(), std::thread::hardware_concurrency(), jsonText(utcDate()).c_str());
    std::fprintf(file, "  \"picture\": {\"width\": %d, \"height\": %d, \"threads\": 1},\n  \"rows\": [\n", kWidth,
                 kHeight);
    for (size_t i = 0; i < rows.size(); ++i) {
        const SummaryRow& row = rows[i];
        std::string goal = "null", holds = "null";
        if (row.goal) {
            goal = "{\"against\": " + jsonText(row.goal->against) + ", \"factor\": " + jsonNumber(row.goal->factor) +
                   "}";
            if (row.goalRatio >= 0) holds = row.goalRatio <= row.goal->factor ? "true" : "false";
        }
        std::fprintf(file,
                     "    {\"name\": %s, \"ms\": %s, \"mp_per_s\": %s, \"x_memcpy\": %s, \"x_peer\": %s, "
                     "\"peer\": %s, \"goal\": %s, \"holds\": %s}%s\n",
                     jsonText(row.name).c_str(), jsonNumber(row.ms).c_str(),
                     jsonNumber(row.megapixelsPerSecond).c_str(), jsonNumber(row.toMemcpy).c_str(),
                     jsonNumber(row.toPeer).c_str(), row.peer.empty() ? "null" : jsonText(row.peer).c_str(),
                     goal.c_str(), holds.c_str(), i + 1 < rows.size() ? "," : "");
    }
    std::fprintf(file, "  ]\n}\n");
    std::fclose(file);
}

}  // namespace

// Prints the usual table, then the summary: one row per benchmark (the
// median when repetitions were asked for), with its ratios and its goal.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::string jsonPath) : jsonPath_(std::move(jsonPath)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            const std::string name = run.run_name.str();
            const double ms = run.GetAdjustedRealTime() * unitToMs(run.time_unit);
            if (!times_.count(name)) order_.push_back(name);
            if (median || !medians_.count(name)) times_[name] = ms;  // a median replaces the repetitions
            if (median) medians_.insert(name);
            labels_[name] = run.report_label;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const std::vector<SummaryRow> rows = summary();
        printSummary(rows);
        if (!jsonPath_.empty()) writeJson(jsonPath_, rows);
    }

private:
    std::vector<SummaryRow> summary() const {
        const auto floor = times_.find("floor/memcpy");
        std::vector<SummaryRow> rows;
        for (const std::string& name : order_) {
            SummaryRow row{};
            row.name = name;
            row.ms = times_.at(name);
            row.megapixelsPerSecond = kWidth * static_cast<double>(kHeight) / 1e3 / row.ms;
            if (floor != times_.end()) row.toMemcpy = row.ms / floor->second;
            const std::string& label = labels_.at(name);
            const std::string prefix = "peer=";
            if (label.rfind(prefix, 0) == 0 && times_.count(label.substr(prefix.size()))) {
                row.peer = label.substr(prefix.size());
                row.toPeer = row.ms / times_.at(row.peer);
            }
            row.goal = goalFor(name);
            if (row.goal) row.goalRatio = std::string(row.goal->against) == "peer" ? row.toPeer : row.toMemcpy;
            rows.push_back(row);
        }
        return rows;
    }

    static void printSummary(const std::vector<SummaryRow>& rows) {
        std::printf("\n%-40s %9s %7s %9s %8s  %-12s %s\n", "routine (12 MP, one thread)", "ms", "MP/s", "x memcpy",
                    "x peer", "goal", "peer");
        for (const SummaryRow& row : rows) {
            std::printf("%-40s %9.2f %7.0f", row.name.c_str(), row.ms, row.megapixelsPerSecond);
            if (row.toMemcpy >= 0) std::printf(" %9.2f", row.toMemcpy);
            else std::printf(" %9s", "-");
            if (row.toPeer >= 0) std::printf(" %8.2f", row.toPeer);
            else std::printf(" %8s", "-");
            char goal[40] = "-";
            if (row.goal)
                std::snprintf(goal, sizeof goal, "%.1fx %s %s", row.goal->factor, row.goal->against,
                              row.goalRatio < 0 ? "?" : (row.goalRatio <= row.goal->factor ? "met" : "NOT"));
            std::printf("  %-16s %s\n", goal, row.peer.c_str());
        }
    }

    static double unitToMs(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kNanosecond: return 1e-6;
            case benchmark::kMicrosecond: return 1e-3;
            case benchmark::kMillisecond: return 1.0;
            default: return 1e3;
        }
    }

    std::string jsonPath_;
    std::vector<std::string> order_;
    std::map<std::string, double> times_;
    std::set<std::string> medians_;
    std::map<std::string, std::string> labels_;
};

}  // namespace lumetra::bench

// --summary_json=FILE is ours; everything else goes to Google Benchmark.
int main(int argc, char** argv) {
    std::string jsonPath;
    const std::string flag = "--summary_json=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind(flag, 0) == 0) jsonPath = argument.substr(flag.size());
        else argv[kept++] = argv[i];
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    lumetra::bench::RatioReporter reporter(jsonPath);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
