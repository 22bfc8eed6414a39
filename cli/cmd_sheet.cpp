// lumetra sheet IN OUT [--assets DIR] [--columns N]: every preset on a
// thumbnail of IN, in one labelled grid. On a terminal a progress bar shows
// the presets done and the time taken.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/cli.h"
#include "cli/contact_sheet.h"

namespace cli {

namespace {

class ProgressBar {
public:
    explicit ProgressBar(bool visible) : visible_(visible), started_(std::chrono::steady_clock::now()) {}

    void show(int done, int total) const {
        if (!visible_) return;
        constexpr int kWidth = 30;
        const int filled = total > 0 ? done * kWidth / total : kWidth;
        const std::string bar = std::string(static_cast<size_t>(filled), '#') +
                                std::string(static_cast<size_t>(kWidth - filled), '.');
        std::fprintf(stderr, "\rsheet [%s] %3d/%d presets  %5.1f s", bar.c_str(), done, total, elapsed());
        if (done == total) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    }

private:
    bool visible_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace

int runSheet(Arguments& args) {
    AssetFolder assets{args.option("assets").value_or(defaultAssetsDir()), {}, true};
    const std::optional<std::string> columns = args.option("columns");
    const std::string in = args.positional("input picture IN");
    const std::string out = args.positional("output picture OUT");
    args.finish();

    SheetOptions options;
    if (columns) options.columns = parseInt(*columns, "--columns", 1, 153);
    options.title = "Lumetra presets on " + std::filesystem::path(in).filename().string();
    const cv::Mat photo = readPhoto(in);
    const ProgressBar bar(::isatty(STDERR_FILENO) != 0);
    const ContactSheet sheet = drawContactSheet(photo, assets, options, [&bar](int done, int total) {
        bar.show(done, total);
    });
    printWarnings(assets);
    writePicture(out, sheet.picture);
    return 0;
}

}  // namespace cli
