// lumetra sheet IN OUT [--assets DIR] [--columns N]: every preset on a
// thumbnail of IN, in one labelled grid. On a terminal a progress bar shows
// the presets done and the time taken.
#include <filesystem>
#include <string>

#include "cli/cli.h"
#include "cli/command.h"
#include "cli/contact_sheet.h"
#include "cli/progress.h"

namespace cli {

namespace {

struct SheetCommandOptions {
    std::string in, out;
    std::string assets = defaultAssetsDir();
    int columns = SheetOptions().columns;
};

int runSheet(const SheetCommandOptions& command) {
    AssetFolder assets{command.assets, {}, true};
    SheetOptions options;
    options.columns = command.columns;
    options.title = "Lumetra presets on " + std::filesystem::path(command.in).filename().string();
    const cv::Mat photo = readPhoto(command.in);
    const ProgressBar bar("sheet", "presets");
    const ContactSheet sheet = drawContactSheet(photo, assets, options, [&bar](int done, int total) {
        bar.show(done, total);
    });
    printWarnings(assets);
    writePicture(command.out, sheet.picture);
    return 0;
}

}  // namespace

void addSheetCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "sheet", "Run every preset on a thumbnail of IN, in one labelled grid.",
                                   "lumetra sheet photo.jpg sheet.jpg --assets assets --columns 12");
    auto options = std::make_shared<SheetCommandOptions>();
    addPicture(command, "IN", options->in, "input picture");
    addPicture(command, "OUT", options->out, "output picture");
    command->add_option("--assets", options->assets, "picture pack folder ($LUMETRA_ASSETS or ./assets)");
    command->add_option("--columns", options->columns, "thumbnails a row")
        ->check(CLI::Range(1, LUMETRA_PRESET_COUNT))
        ->capture_default_str();
    runWith(command, options, runSheet);
}

}  // namespace cli
