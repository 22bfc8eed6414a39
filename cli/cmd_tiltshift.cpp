// lumetra tiltshift IN OUT (--disc CX,CY,INNER,OUTER | --line X1,Y1,X2,Y2,INNER,OUTER | --even)
//                  (--strength S | --aperture SHAPE.png --radius R) [--preview WxH]
// Blurs IN away from a sharp disc or band (or evenly). The pyramid blur
// (--strength) can also render a preview: the whole picture fitted into
// WxH through the view rectangle, as a host's live preview does it. The
// aperture blur convolves with the shape of SHAPE.png (its green channel).
#include <opencv2/core/core_c.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>

#include "cli/cli.h"
#include "cli/command.h"

namespace cli {

namespace {

// The sharp zone, in pixels of IN.
struct SharpZone {
    enum Kind { disc, line, even } kind = even;
    std::array<int, 6> values{};  // disc: cx, cy, inner, outer; line: x1, y1, x2, y2, inner, outer
    int inner() const { return kind == disc ? values[2] : values[4]; }
    int outer() const { return kind == disc ? values[3] : values[5]; }
};

constexpr long kMaxCoordinate = 1000000;

std::array<int, 6> parseValues(const std::string& text, const char* option, const char* form, size_t count) {
    const std::vector<std::string> parts = splitCommas(text);
    if (parts.size() != count) throw UsageError(std::string(option) + " must be " + form + ", not '" + text + "'");
    std::array<int, 6> values{};
    for (size_t i = 0; i < count; ++i) {
        const bool distance = i + 2 >= count;  // the last two are INNER and OUTER
        values[i] = parseInt(parts[i], option, distance ? 0 : -kMaxCoordinate, kMaxCoordinate);
    }
    return values;
}

SharpZone parseZone(const std::optional<std::string>& disc, const std::optional<std::string>& line, bool even) {
    if (int(disc.has_value()) + int(line.has_value()) + int(even) != 1)
        throw UsageError("give exactly one of --disc CX,CY,INNER,OUTER, --line X1,Y1,X2,Y2,INNER,OUTER or --even");
    SharpZone zone;
    if (disc) {
        zone = {SharpZone::disc, parseValues(*disc, "--disc", "CX,CY,INNER,OUTER", 4)};
    } else if (line) {
        zone = {SharpZone::line, parseValues(*line, "--line", "X1,Y1,X2,Y2,INNER,OUTER", 6)};
        if (zone.values[0] == zone.values[2] && zone.values[1] == zone.values[3])
            throw UsageError("--line needs two different points");
    }
    // An OUTER below INNER stands for twice INNER; equal values leave no ramp.
    if (zone.kind != SharpZone::even && zone.inner() == zone.outer())
        throw UsageError("INNER and OUTER must differ");
    return zone;
}

cv::Size parsePreview(const std::string& text) {
    const size_t x = text.find('x');
    if (x == std::string::npos) throw UsageError("--preview must be WxH, not '" + text + "'");
    return {parseInt(text.substr(0, x), "--preview W", 1, 16384), parseInt(text.substr(x + 1), "--preview H", 1, 16384)};
}

// The picture fitted into the preview box, keeping its aspect.
cv::Size fittedSize(cv::Size picture, cv::Size box) {
    const double scale = std::min(double(box.width) / picture.width, double(box.height) / picture.height);
    return {std::max(1, int(picture.width * scale)), std::max(1, int(picture.height * scale))};
}

struct ShiftRelease {
    void operator()(TiltShiftContext* context) const noexcept { doShiftEnd(context); }
};
struct ApertureRelease {
    void operator()(ApertureContext* context) const noexcept { doShiftApEnd(context); }
};

cv::Mat pyramidBlur(cv::Mat& photo, const SharpZone& zone, float strength, std::optional<cv::Size> preview) {
    IplImage src = cvIplImage(photo);
    const std::unique_ptr<TiltShiftContext, ShiftRelease> context(doShiftStart(&src));
    if (!context) throw Failure("not enough memory for the blur pyramid");
    const cv::Size size = preview ? fittedSize(photo.size(), *preview) : photo.size();
    cv::Mat result(size, CV_8UC3, cv::Scalar::all(0));
    IplImage dst = cvIplImage(result);
    EffectRegion region{0, 0, 0, size.width, size.height};
    EffectRegion* view = preview ? &region : nullptr;
    const auto& v = zone.values;
    switch (zone.kind) {
        case SharpZone::disc: AppplyShiftRound(context.get(), &dst, strength, v[0], v[1], v[2], v[3], view, 0); break;
        case SharpZone::line:
            AppplyShiftLine(context.get(), &dst, strength, v[0], v[1], v[2], v[3], v[4], v[5], view, 0);
            break;
        case SharpZone::even: AppplyShiftBlur(context.get(), &dst, strength, view); break;
    }
    return result;
}

// SHAPE.png as given, or by bare name from the picture pack's apertures/
// folder; read as a photo is (8-bit BGR).
cv::Mat readShape(const std::string& name) {
    std::error_code failed;
    if (name.find('/') == std::string::npos && !std::filesystem::exists(name, failed))
        return readPhoto(defaultAssetsDir() + "/apertures/" + name);
    return readPhoto(name);
}

cv::Mat apertureBlur(cv::Mat& photo, const SharpZone& zone, const cv::Mat& shapePicture, float radius) {
    IplImage src = cvIplImage(photo);
    cv::Mat shapeCopy = shapePicture.clone();
    IplImage shape = cvIplImage(shapeCopy);
    const std::unique_ptr<ApertureContext, ApertureRelease> context(doShiftApStart(&src, &shape, radius));
    if (!context) throw Failure("the aperture shape has no green to blur with, or memory ran out (nothing was blurred)");
    cv::Mat result = photo.clone();
    IplImage dst = cvIplImage(result);
    const auto& v = zone.values;
    switch (zone.kind) {
        case SharpZone::disc: ApplyShiftApRound(context.get(), &dst, v[0], v[1], v[2], v[3], 0); break;
        case SharpZone::line: ApplyShiftApLine(context.get(), &dst, v[0], v[1], v[2], v[3], v[4], v[5], 0); break;
        case SharpZone::even: ApplyShiftApBlur(context.get(), &dst, 0, 0); break;
    }
    return result;
}

struct TiltShiftOptions {
    std::string in, out;
    std::optional<std::string> disc, line, aperture, preview;
    bool even = false;
    std::optional<double> strength, radius;
};

int runTiltShift(const TiltShiftOptions& o) {
    const SharpZone zone = parseZone(o.disc, o.line, o.even);
    if (o.aperture.has_value() != o.radius.has_value())
        throw UsageError("--aperture SHAPE.png and --radius R go together");
    if (o.aperture && o.strength) throw UsageError("the aperture blur takes --radius R, not --strength");
    if (o.aperture && o.preview) throw UsageError("--preview renders the pyramid blur only (use --strength)");
    if (!o.aperture && !o.strength) throw UsageError("--strength S is required (for example 0.3)");
    std::optional<cv::Size> preview;
    if (o.preview) preview = parsePreview(*o.preview);

    Metadata metadata;
    cv::Mat photo = readPhoto(o.in, &metadata);
    cv::Mat result;
    if (o.aperture) {
        const cv::Mat shape = readShape(*o.aperture);
        result = apertureBlur(photo, zone, shape, float(*o.radius));
    } else {
        result = pyramidBlur(photo, zone, float(*o.strength), preview);
    }
    writePicture(o.out, result, metadata);
    return 0;
}

}  // namespace

void addTiltShiftCommand(CLI::App& app) {
    CLI::App* command = addCommand(
        app, "tiltshift", "Blur IN away from a sharp disc or band (or evenly), by a pyramid or an aperture shape.",
        "lumetra tiltshift photo.jpg out.jpg --line 0,1900,3999,1700,150,900 --strength 0.05");
    auto options = std::make_shared<TiltShiftOptions>();
    addPicture(command, "IN", options->in, "input picture");
    addPicture(command, "OUT", options->out, "output picture");
    command->add_option("--disc", options->disc, "CX,CY,INNER,OUTER: sharp disc, in pixels of IN");
    command->add_option("--line", options->line, "X1,Y1,X2,Y2,INNER,OUTER: sharp band along a line");
    command->add_flag("--even", options->even, "blur everywhere alike");
    command->add_option("--strength", options->strength, "pyramid blur strength")->check(CLI::Range(0.0, 100.0));
    command->add_option("--preview", options->preview, "WxH (each 1..16384): the whole picture fitted into WxH");
    command->add_option("--aperture", options->aperture,
                        "SHAPE.png: blur with this lens shape (a bare name from the pack's apertures/)");
    command->add_option("--radius", options->radius, "aperture blur radius, a share of the smaller side")
        ->check(CLI::Range(0.0, 1.0));
    runWith(command, options, runTiltShift);
}

}  // namespace cli
