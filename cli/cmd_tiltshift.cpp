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
    if (!context) throw UsageError("not enough memory for the blur pyramid");
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
    if (!context) throw UsageError("the aperture shape has no green to blur with, or memory ran out");
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

}  // namespace

int runTiltShift(Arguments& args) {
    const auto disc = args.option("disc");
    const auto line = args.option("line");
    const bool even = args.flag("even");
    const auto strengthText = args.option("strength");
    const auto aperture = args.option("aperture");
    const auto radiusText = args.option("radius");
    const auto previewText = args.option("preview");
    const std::string in = args.positional("input picture IN");
    const std::string out = args.positional("output picture OUT");
    args.finish();

    const SharpZone zone = parseZone(disc, line, even);
    if (aperture.has_value() != radiusText.has_value())
        throw UsageError("--aperture SHAPE.png and --radius R go together");
    if (aperture && strengthText) throw UsageError("the aperture blur takes --radius R, not --strength");
    if (aperture && previewText) throw UsageError("--preview renders the pyramid blur only (use --strength)");
    if (!aperture && !strengthText) throw UsageError("--strength S is required (for example 0.3)");

    cv::Mat photo = readPhoto(in);
    cv::Mat result;
    if (aperture) {
        const cv::Mat shape = readShape(*aperture);
        result = apertureBlur(photo, zone, shape, float(parseNumber(*radiusText, "--radius", 0.0, 1.0)));
    } else {
        const float strength = float(parseNumber(*strengthText, "--strength", 0.0, 100.0));
        std::optional<cv::Size> preview;
        if (previewText) preview = parsePreview(*previewText);
        result = pyramidBlur(photo, zone, strength, preview);
    }
    writePicture(out, result);
    return 0;
}

}  // namespace cli
