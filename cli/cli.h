// Shared pieces of the `lumetra` host program: errors, value parsing,
// picture files, the picture loader and the subcommands.
#pragma once

#include <opencv2/core.hpp>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumetra.h"

namespace CLI {
class App;
}

namespace cli {

// A usage error: the command line asks for something that cannot be done
// (a value out of range, options that exclude each other). Exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A failure: the command line was fine but the work could not be done (an
// unreadable input, an unwritable output, nothing the library could do with
// what it was given). Exit status 1.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int parseInt(const std::string& text, const char* what, long low, long high);
double parseNumber(const std::string& text, const char* what, double low, double high);
std::vector<std::string> splitCommas(const std::string& text);
EffectRegion parseRegion(const std::string& text);
// The 20 blend-mode names as one comma-separated list, for help and errors.
std::string blendModeList();
// Why `mode` names no blend mode, or empty when it names one.
std::string blendModeProblem(const std::string& mode);

// What a photo file carries besides its pixels: its EXIF (orientation
// included), XMP and ICC colour profile. Defined in metadata.cpp.
struct PhotoMetadata;
using Metadata = std::shared_ptr<const PhotoMetadata>;

// A photo as the library takes it: 8-bit BGR (grey, 16-bit and alpha
// converted), turned upright by its EXIF orientation. With `metadata`, the
// file's metadata is kept there for writePicture.
cv::Mat readPhoto(const std::string& path, Metadata* metadata = nullptr);
// Writes through a temporary file renamed into place, so a failed write
// never leaves a half-written OUT. The format follows the extension. JPEG,
// PNG, TIFF and WebP files receive `metadata` (orientation set to upright).
void writePicture(const std::string& path, const cv::Mat& picture, const Metadata& metadata = nullptr);
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
    int asked = 0;   // pictures the library asked for
    int served = 0;  // and those it was given
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

// Subcommands, one file each (cmd_NAME.cpp): addNAMECommand adds the
// subcommand, its options and its help to the program's parser.
void addApplyCommand(CLI::App& app);
void addPresetsCommand(CLI::App& app);
void addSampleCommand(CLI::App& app);
void addBlendCommand(CLI::App& app);
void addAssetsCommand(CLI::App& app);
void addSheetCommand(CLI::App& app);
void addAdjustCommand(CLI::App& app);
void addHistogramCommand(CLI::App& app);
void addTemperatureCommand(CLI::App& app);
void addBatchCommand(CLI::App& app);
void addTiltShiftCommand(CLI::App& app);
void addEffectCommand(CLI::App& app);

}  // namespace cli
