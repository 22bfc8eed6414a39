// lumetra adjust IN OUT [options]: the photo tools (`lumetra adjust --help`
// lists them with their ranges).
// Collects the photo-tool adjustments in one ColorMap (and a Transform for
// the geometry) and renders them in one ptApplyMap pass; --smooth then
// smooths (negative amounts) or sharpens (positive) the rendered picture.
#include <opencv2/core/core_c.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/adjust.h"
#include "cli/cli.h"
#include "cli/command.h"

namespace cli {

namespace {

using MapOwner = RecordOwner<ColorMap>;
using TransformOwner = RecordOwner<Transform>;

// "a,b,..." with exactly `count` numbers, each checked against its range.
std::vector<double> parseList(const std::string& text, const char* what, size_t count, double low, double high) {
    const std::vector<std::string> parts = splitCommas(text);
    if (parts.size() != count)
        throw UsageError(std::string(what) + " takes " + std::to_string(count) + " comma-separated values, not '" +
                         text + "'");
    std::vector<double> values;
    for (const std::string& part : parts) values.push_back(parseNumber(part, what, low, high));
    return values;
}

// The geometry options as one transform about the picture's centre.
struct Geometry {
    double degrees = 0.0;
    double scale = 1.0;
    double shiftX = 0.0, shiftY = 0.0;
    bool any() const { return degrees != 0.0 || scale != 1.0 || shiftX != 0.0 || shiftY != 0.0; }
};

TransformOwner makeTransform(const Geometry& g, int width, int height) {
    TransformOwner tf(ptNewTransform(0, 0, width, height));
    // Each call acts on the destination side of the matrix, so the calls
    // read outside-in: centre, rotate, scale, back, then the user's shift.
    const float cx = width / 2.0f, cy = height / 2.0f;
    ptTransformShift(tf.get(), -cx, -cy);
    ptTransformRotate(tf.get(), static_cast<float>(g.degrees * M_PI / 180.0));
    ptTransformScale(tf.get(), static_cast<float>(g.scale), static_cast<float>(g.scale));
    ptTransformShift(tf.get(), cx, cy);
    ptTransformShift(tf.get(), static_cast<float>(g.shiftX), static_cast<float>(g.shiftY));
    return tf;
}

// The white balance to apply: given, estimated by the histogram, or picked
// from an area (and printed); none when nothing asked for one.
struct WhiteBalance {
    bool wanted = false;
    double temperature = 6504.0;
    double green = 1.0;
};

WhiteBalance chooseWhiteBalance(const AdjustOptions& o, const cv::Mat& photo, bool report) {
    WhiteBalance wb;
    IplImage header = cvIplImage(photo);
    if (o.temperature || o.tint) {
        wb.wanted = true;
        wb.temperature = o.temperature.value_or(wb.temperature);
        wb.green = o.tint.value_or(wb.green);
    } else if (o.autoWhiteBalance) {
        RecordOwner<Histography> h(ptCreateHistography(&header));
        if (!h) throw Failure("not enough memory for the histogram");
        ptGetTemp(h.get(), &wb.temperature, &wb.green);
        if (wb.temperature == 0)
            throw Failure("--auto-white-balance: no pixel below 250 in all three channels to estimate from");
        wb.wanted = true;
    } else if (o.pick) {
        const auto v = parseList(*o.pick, "--pick X,Y,R", 3, 0, 100000);
        if (v[0] >= photo.cols || v[1] >= photo.rows)
            throw UsageError("--pick X,Y must lie inside the " + std::to_string(photo.cols) + "x" +
                             std::to_string(photo.rows) + " picture");
        wb.temperature = 0;
        ptPickTemp(&header, int(v[0]), int(v[1]), int(v[2]), &wb.temperature, &wb.green);
        if (wb.temperature == 0) throw Failure("--pick: the area has no red or green to measure");
        wb.wanted = true;
    }
    if (report && (o.autoWhiteBalance || o.pick))
        std::printf("temperature %.0f K, green %.4f\n", wb.temperature, wb.green);
    return wb;
}

// A picture turned by ptRotateClone, as an owned cv::Mat.
cv::Mat quarterTurn(const cv::Mat& picture, int turns, bool mirror) {
    IplImage header = cvIplImage(picture);
    IplImage* turned = ptRotateClone(&header, turns, mirror ? 1 : 0);
    if (!turned) throw Failure("not enough memory to turn the picture");
    cv::Mat copy = cv::cvarrToMat(turned).clone();
    cvReleaseImage(&turned);
    return copy;
}

// The tone operations compose in call order: levels first, then the curves.
void addTone(ColorMap* map, const AdjustOptions& o) {
    if (o.exposure) ptRealExposure(map, *o.exposure);
    if (o.whitePoint || o.blackPoint) ptWhiteBlackPoint(map, o.whitePoint.value_or(255), o.blackPoint.value_or(0));
    if (o.toneExposure) ptExposureSP(map, *o.toneExposure);
    if (o.brightness) ptBrightnessSP(map, *o.brightness);
    if (o.highlights || o.shadows) ptLightDarkSP(map, o.highlights.value_or(0), o.shadows.value_or(0));
    if (o.contrast) ptContrastSP(map, *o.contrast);
}

void addColour(ColorMap* map, const AdjustOptions& o) {
    if (o.hue || o.saturation) ptAdjustColorGlobalSP(map, o.hue.value_or(0), o.saturation.value_or(0));
    if (o.technicolor) {
        const auto c = parseList(*o.technicolor, "--technicolor", 6, 0.0, 1.0);
        ptTechnicolor(map, float(c[0]), float(c[1]), float(c[2]), float(c[3]), float(c[4]), float(c[5]));
    }
}

void addLens(ColorMap* map, const AdjustOptions& o) {
    if (o.lens) {
        const std::vector<std::string> parts = splitCommas(*o.lens);
        if (parts.size() != 2) throw UsageError("--lens takes AMOUNT,RADIUS, not '" + *o.lens + "'");
        ptLensCorrection(map, parseInt(parts[0], "--lens AMOUNT", -100, 100),
                         parseInt(parts[1], "--lens RADIUS", -1000, 1000));
    }
    if (o.aberration) {
        const auto v = parseList(*o.aberration, "--aberration R,B", 2, -2000, 2000);
        ptAberration(map, int(v[0]), int(v[1]));
    }
}

Geometry geometryOf(const AdjustOptions& o) {
    Geometry geometry;
    geometry.degrees = o.rotate.value_or(0.0);
    geometry.scale = o.scale.value_or(1.0);
    if (o.shift) {
        const auto v = parseList(*o.shift, "--shift DX,DY", 2, -100000.0, 100000.0);
        geometry.shiftX = v[0];
        geometry.shiftY = v[1];
    }
    return geometry;
}

// "OTHER,PERCENT": the second picture and its share.
std::pair<std::string, int> blendOf(const std::string& text) {
    const std::vector<std::string> parts = splitCommas(text);
    if (parts.size() != 2) throw UsageError("--blend takes OTHER,PERCENT, not '" + text + "'");
    return {parts[0], parseInt(parts[1], "--blend PERCENT", 0, 100)};
}

// --smooth RADIUS,AMOUNT[,THRESHOLD]: sigma in pixels, percent, levels.
struct Smoothing {
    double radius = 0.0;
    int amount = 0;
    int threshold = 0;
};

Smoothing smoothingOf(const std::string& text) {
    const std::vector<std::string> parts = splitCommas(text);
    if (parts.size() != 2 && parts.size() != 3)
        throw UsageError("--smooth takes RADIUS,AMOUNT[,THRESHOLD], not '" + text + "'");
    return {parseNumber(parts[0], "--smooth RADIUS", 0.0, 1000.0), parseInt(parts[1], "--smooth AMOUNT", -100, 500),
            parts.size() == 3 ? parseInt(parts[2], "--smooth THRESHOLD", 0, 255) : 0};
}

}  // namespace

void checkAdjust(const AdjustOptions& o) {
    if (int(o.temperature || o.tint) + int(o.autoWhiteBalance) + int(bool(o.pick)) > 1)
        throw UsageError("give one of --temperature/--tint, --auto-white-balance and --pick");
    if (o.whitePoint.value_or(255) <= o.blackPoint.value_or(0))
        throw UsageError("--white-point must lie above --black-point");
    if (o.mirror && !o.quarter) throw UsageError("--mirror goes with --rotate-quarter");
    // The list options are read once here so that their errors come before any file.
    MapOwner scratch(ptNewColorMap());
    if (!scratch) throw Failure("not enough memory for the settings");
    addColour(scratch.get(), o);
    addLens(scratch.get(), o);
    geometryOf(o);
    if (o.blend) blendOf(*o.blend);
    if (o.pick) parseList(*o.pick, "--pick X,Y,R", 3, 0, 100000);
    if (o.smooth) smoothingOf(*o.smooth);
}

cv::Mat adjustPhoto(const cv::Mat& picture, const AdjustOptions& o, bool report) {
    MapOwner map(ptNewColorMap());
    if (!map) throw Failure("not enough memory for the settings");
    addTone(map.get(), o);
    addColour(map.get(), o);
    addLens(map.get(), o);
    const Geometry geometry = geometryOf(o);

    cv::Mat photo = picture, other;
    if (o.blend) {
        const auto [otherPath, percent] = blendOf(*o.blend);
        ptBlend(map.get(), percent);
        other = readPhoto(otherPath);
        if (other.size() != photo.size())
            throw Failure("--blend picture must be " + std::to_string(photo.cols) + "x" +
                          std::to_string(photo.rows) + " like IN");
    }
    const WhiteBalance wb = chooseWhiteBalance(o, photo, report);
    if (wb.wanted) ptWhiteBalanceSP(map.get(), wb.temperature, wb.green);
    if (o.quarter) {
        photo = quarterTurn(photo, *o.quarter, o.mirror);
        if (o.blend) other = quarterTurn(other, *o.quarter, o.mirror);
    }

    TransformOwner tf;
    if (geometry.any()) tf = makeTransform(geometry, photo.cols, photo.rows);
    cv::Mat result(photo.size(), CV_8UC3);
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    IplImage second = o.blend ? cvIplImage(other) : IplImage{};
    if (ptApplyMap(&src, o.blend ? &second : nullptr, &dst, map.get(), tf.get(), nullptr) != 1)
        throw Failure(o.lens ? "--lens RADIUS gives a reference length outside 1..46340 pixels for this picture"
                             : "the settings could not be rendered");
    if (o.smooth) {
        const Smoothing smoothing = smoothingOf(*o.smooth);
        if (ptSmoothFilterSP(&dst, &dst, smoothing.radius, smoothing.amount, smoothing.threshold, nullptr) != 1)
            throw Failure("not enough memory to smooth the picture");
    }
    return result;
}

void addAdjustOptions(CLI::App* command, AdjustOptions& o) {
    const auto range = [](int low, int high) { return CLI::Range(low, high); };
    command->add_option("--exposure", o.exposure, "exposure in hundredths of a stop")->check(range(-500, 500));
    command->add_option("--white-point", o.whitePoint, "input level that becomes white")->check(range(1, 255));
    command->add_option("--black-point", o.blackPoint, "input level that becomes black")->check(range(0, 254));
    command->add_option("--tone-exposure", o.toneExposure, "exposure curve")->check(range(-100, 100));
    command->add_option("--brightness", o.brightness, "brightness curve")->check(range(-100, 100));
    command->add_option("--highlights", o.highlights, "highlights curve")->check(range(-100, 100));
    command->add_option("--shadows", o.shadows, "shadows curve")->check(range(-100, 100));
    command->add_option("--contrast", o.contrast, "contrast curve")->check(range(-100, 100));
    command->add_option("--hue", o.hue, "hue turn in degrees")->check(range(-360, 360));
    command->add_option("--saturation", o.saturation, "saturation change in percent")->check(range(-100, 100));
    command->add_option("--technicolor", o.technicolor, "c0,...,c5: two-colour mix, six numbers in 0..1");
    command->add_option("--lens", o.lens, "AMOUNT,RADIUS: lens vignetting, AMOUNT -100..100, RADIUS -1000..1000");
    command->add_option("--aberration", o.aberration, "R,B: chromatic aberration, each -2000..2000");
    command->add_option("--rotate", o.rotate, "turn in degrees about the centre")->check(CLI::Range(-360.0, 360.0));
    command->add_option("--scale", o.scale, "scale about the centre")->check(CLI::Range(0.05, 20.0));
    command->add_option("--shift", o.shift, "DX,DY: shift in pixels, each -100000..100000");
    command->add_option("--rotate-quarter", o.quarter, "quarter turns first")->check(range(0, 3));
    command->add_flag("--mirror", o.mirror, "mirror with --rotate-quarter");
    command->add_option("--blend", o.blend, "OTHER,PERCENT: mix with a picture of IN's size, PERCENT 0..100");
    command->add_option("--temperature", o.temperature, "white balance to this temperature in kelvin")
        ->check(CLI::Range(1200.0, 12000.0));
    command->add_option("--tint", o.tint, "white balance green factor")->check(CLI::Range(0.02, 5.0));
    command->add_flag("--auto-white-balance", o.autoWhiteBalance, "white balance estimated from the histogram");
    command->add_option("--pick", o.pick, "X,Y,R: white balance measured on a grey area (printed)");
    command->add_option("--smooth", o.smooth,
                        "RADIUS,AMOUNT[,THRESHOLD]: then smooth (AMOUNT -100..-1) or sharpen (1..500); "
                        "RADIUS 0..1000 pixels, THRESHOLD 0..255");
}

namespace {

struct AdjustCommandOptions {
    std::string in, out;
    AdjustOptions adjust;
};

int runAdjust(const AdjustCommandOptions& options) {
    checkAdjust(options.adjust);
    Metadata metadata;
    const cv::Mat photo = readPhoto(options.in, &metadata);
    writePicture(options.out, adjustPhoto(photo, options.adjust, true), metadata);
    return 0;
}

}  // namespace

void addAdjustCommand(CLI::App& app) {
    CLI::App* command =
        addCommand(app, "adjust", "Photo adjustment tools, rendered in one pass.",
                   "lumetra adjust photo.jpg out.jpg --auto-white-balance --contrast 20 --saturation 30 --rotate 3");
    auto options = std::make_shared<AdjustCommandOptions>();
    addPicture(command, "IN", options->in, "input picture");
    addPicture(command, "OUT", options->out, "output picture");
    addAdjustOptions(command, options->adjust);
    runWith(command, options, runAdjust);
}

}  // namespace cli
