// lumetra batch IN_DIR OUT_DIR (--preset N | --adjust OPTIONS...) [-j N]
//   [--skip-existing]: one effect or one set of photo tools on every picture
// of a folder, on worker threads (the library is safe on different pictures
// at once). A file that fails is named on stderr and the others go on; the
// exit status is 1 when any failed.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "cli/adjust.h"
#include "cli/apply.h"
#include "cli/cli.h"
#include "cli/command.h"
#include "cli/progress.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

struct BatchOptions {
    std::string inDir, outDir;
    std::string assets = defaultAssetsDir();
    EffectOptions effect;
    bool adjust = false;
    std::vector<std::string> adjustWords;  // the words after --adjust
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    bool skipExisting = false;
};

bool isPhotoFile(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(std::tolower(c));
    });
    static const char* const kExtensions[] = {".jpg", ".jpeg", ".png", ".tif", ".tiff", ".webp", ".bmp"};
    return std::find(std::begin(kExtensions), std::end(kExtensions), extension) != std::end(kExtensions);
}

// The photos of IN_DIR in name order (sub-folders are not entered).
std::vector<fs::path> photosIn(const std::string& dir) {
    std::error_code failed;
    if (!fs::is_directory(dir, failed)) throw Failure("cannot read folder '" + dir + "'");
    std::vector<fs::path> photos;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, failed))
        if (entry.is_regular_file() && isPhotoFile(entry.path())) photos.push_back(entry.path());
    if (failed) throw Failure("cannot read folder '" + dir + "': " + failed.message());
    std::sort(photos.begin(), photos.end());
    return photos;
}

// The batch's own options, wherever they stand on the line.
void addRunOptions(CLI::App* command, BatchOptions& options) {
    command->add_option("--assets", options.assets, "picture pack folder ($LUMETRA_ASSETS or ./assets)");
    command->add_option("-j,--jobs", options.jobs, "worker threads")->check(CLI::Range(1, 256))->capture_default_str();
    command->add_flag("--skip-existing", options.skipExisting, "leave photos whose result exists alone");
}

// The words after --adjust: the options of `lumetra adjust`, and the batch's
// own options when they come last.
AdjustOptions parseAdjustWords(const std::vector<std::string>& words, BatchOptions& options) {
    AdjustOptions adjust;
    CLI::App parser("", "--adjust");
    addAdjustOptions(&parser, adjust);
    addRunOptions(&parser, options);
    std::vector<std::string> reversed(words.rbegin(), words.rend());  // CLI11 takes them last first
    parser.parse(reversed);
    checkAdjust(adjust);
    return adjust;
}

// The shared state of one run: the next file to take, the tallies, and the
// lock that keeps stderr lines whole.
class Batch {
public:
    Batch(const BatchOptions& options, std::vector<fs::path> photos, std::optional<AdjustOptions> adjust)
        : options_(options), photos_(std::move(photos)), adjust_(std::move(adjust)), bar_("batch", "photos") {}

    int run() {
        const int workers = std::min<int>(options_.jobs, std::max<size_t>(1, photos_.size()));
        std::vector<AssetFolder> folders(static_cast<size_t>(workers), AssetFolder{options_.assets, {}, true});
        bar_.show(0, total());
        std::vector<std::thread> threads;
        for (AssetFolder& folder : folders) threads.emplace_back([this, &folder] { work(folder); });
        for (std::thread& thread : threads) thread.join();
        AssetFolder missing{options_.assets, {}, true};  // each missing picture named once, not once a worker
        for (const AssetFolder& folder : folders)
            for (const std::string& path : folder.warned)
                if (std::find(missing.warned.begin(), missing.warned.end(), path) == missing.warned.end())
                    missing.warned.push_back(path);
        printWarnings(missing);
        std::printf("batch: %d written, %d skipped, %d failed, in %.1f s\n", written_.load(), skipped_.load(),
                    failed_.load(), bar_.elapsed());
        return failed_ > 0 ? 1 : 0;
    }

private:
    int total() const { return static_cast<int>(photos_.size()); }

    void work(AssetFolder& assets) {
        for (size_t index = next_++; index < photos_.size(); index = next_++) {
            const fs::path out = fs::path(options_.outDir) / photos_[index].filename();
            try {
                if (options_.skipExisting && fs::exists(out)) {
                    ++skipped_;
                } else {
                    process(photos_[index], out, assets);
                    ++written_;
                }
            } catch (const std::exception& error) {
                ++failed_;
                report(photos_[index].string() + ": " + error.what());
            }
            std::lock_guard<std::mutex> hold(lock_);
            bar_.show(++done_, total());
        }
    }

    void process(const fs::path& in, const fs::path& out, AssetFolder& assets) const {
        Metadata metadata;
        const cv::Mat photo = readPhoto(in.string(), &metadata);
        const cv::Mat result = adjust_ ? adjustPhoto(photo, *adjust_, false) : applyEffect(photo, options_.effect, assets);
        writePicture(out.string(), result, metadata);
    }

    void report(const std::string& message) {
        std::lock_guard<std::mutex> hold(lock_);
        bar_.clear();
        std::fprintf(stderr, "lumetra batch: %s\n", message.c_str());
    }

    const BatchOptions& options_;
    const std::vector<fs::path> photos_;
    const std::optional<AdjustOptions> adjust_;
    ProgressBar bar_;
    std::mutex lock_;
    std::atomic<size_t> next_{0};
    std::atomic<int> written_{0}, skipped_{0}, failed_{0};
    int done_ = 0;  // under lock_
};

int runBatch(BatchOptions& options) {
    const bool effect = options.effect.preset || options.effect.vignette || options.effect.frame;
    if (effect == options.adjust) throw UsageError("give either --preset (--vignette, --frame) or --adjust OPTIONS...");
    std::optional<AdjustOptions> adjust;
    if (options.adjust) {
        if (options.adjustWords.empty()) throw UsageError("--adjust needs the photo-tool options after it");
        adjust = parseAdjustWords(options.adjustWords, options);
    } else {
        checkEffect(options.effect);
    }
    std::vector<fs::path> photos = photosIn(options.inDir);
    std::error_code failed;
    fs::create_directories(options.outDir, failed);
    if (failed) throw Failure("cannot create folder '" + options.outDir + "': " + failed.message());
    Batch batch(options, std::move(photos), std::move(adjust));
    return batch.run();
}

}  // namespace

void addBatchCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "batch",
                                   "Run a preset or photo tools on every photo of a folder, on worker threads.",
                                   "lumetra batch photos/ done/ --adjust --auto-white-balance --contrast 20 -j 4");
    auto options = std::make_shared<BatchOptions>();
    command->add_option("IN_DIR", options->inDir, "folder of photos (.jpg .jpeg .png .tif .tiff .webp .bmp)")
        ->required();
    command->add_option("OUT_DIR", options->outDir, "folder for the results, made when missing")->required();
    addEffectOptions(command, options->effect);
    addRunOptions(command, *options);
    command->add_flag("--adjust", options->adjust,
                      "photo tools: the words after it are options of 'lumetra adjust' (see its --help)");
    command->prefix_command();  // the words after --adjust are left for its own parser
    command->callback([command, options] {
        options->adjustWords = command->remaining();
        if (!options->adjust && !options->adjustWords.empty())
            throw UsageError("unexpected '" + options->adjustWords.front() + "'");
        if (const int status = runBatch(*options)) throw CLI::RuntimeError(status);
    });
}

}  // namespace cli
