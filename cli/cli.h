// Shared pieces of the `lumetra` host program: argument parsing, picture
// files, and the subcommand table.
#pragma once

#include <opencv2/core.hpp>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumetra.h"

namespace cli {

// A user error: reported as one line on stderr, exit status 1.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The words after the subcommand: positional arguments and --options.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> words);

    // The next positional argument, or an error naming `what`.
    std::string positional(const char* what);
    // The value of --name (removed from the list), if given.
    std::optional<std::string> option(const char* name);
    // Whether the flag --name was given (removed from the list).
    bool flag(const char* name);
    // Fails on anything not consumed.
    void finish() const;

private:
    std::vector<std::string> words_;
};

int parseInt(const std::string& text, const char* what, long low, long high);
double parseNumber(const std::string& text, const char* what, double low, double high);
std::vector<std::string> splitCommas(const std::string& text);
EffectRegion parseRegion(const std::string& text);

// A photo as the library takes it: 8-bit BGR (grey, 16-bit and alpha converted).
cv::Mat readPhoto(const std::string& path);
// Writes through a temporary file renamed into place, so a failed write
// never leaves a half-written OUT. The format follows the extension.
void writePicture(const std::string& path, const cv::Mat& picture);
// The bundled default picture (`lumetra sample`), drawn at width x height
// (1200 x 800 by default).
cv::Mat drawSamplePicture(int width, int height);
// A picture from disk as a loader serves it: 8-bit BGR or BGRA, or empty.
cv::Mat readAsset(const std::string& path);

// The loader the host program hands to fx: kind 0 from DIR/textures/, kind 1
// from DIR/vignettes/, kind 2 from DIR/frames/. Missing files are named once
// on stderr: at once, or with holdWarnings when printWarnings is called (so
// they do not break into a progress bar).
struct AssetFolder {
    std::string root;
    std::vector<std::string> warned;
    bool holdWarnings = false;
};
struct _IplImage* LUMETRA_CALL loadAsset(int kind, const char* name, void* userData);
void printWarnings(const AssetFolder& folder);
std::string defaultAssetsDir();

// Frames the library would skip: why the specification cannot be drawn, or
// nothing when it reads well.
std::optional<std::string> frameSpecProblem(const std::string& text);
// A loader over an AssetFolder that notes every frame picture (kind 2) that
// is missing or has no alpha channel: the library skips frames with such
// pictures.
struct FrameWatch {
    AssetFolder* assets;
    std::vector<std::string> unusable;
};
struct _IplImage* LUMETRA_CALL loadWatchingFrames(int kind, const char* name, void* userData);

// Owner of a photo-tool record (ColorMap, Transform, Histography): one
// release call serves all three.
struct RecordRelease {
    void operator()(void* record) const noexcept { ptDeleteColorMap(record); }
};
template <class Record>
using RecordOwner = std::unique_ptr<Record, RecordRelease>;

// Subcommands, one file each (cmd_NAME.cpp).
int runApply(Arguments& args);
int runPresets(Arguments& args);
int runSample(Arguments& args);
int runBlend(Arguments& args);
int runAssets(Arguments& args);
int runSheet(Arguments& args);
int runAdjust(Arguments& args);
int runHistogram(Arguments& args);
int runTemperature(Arguments& args);
int runTiltShift(Arguments& args);
int runEffect(Arguments& args);

}  // namespace cli
