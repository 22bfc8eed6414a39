// lumetra adjust IN OUT [--hue D] [--saturation P] [--technicolor c0,...,c5]
//   [--lens AMOUNT,RADIUS] [--aberration R,B] [--rotate DEG] [--scale S]
//   [--shift DX,DY] [--blend OTHER,P] [--rotate-quarter Q [--mirror]]
//   [--brightness A] [--exposure STOPSx100] [--tone-exposure A]
//   [--highlights A] [--shadows A] [--contrast A] [--white-point W]
//   [--black-point B] [--temperature K] [--tint G] [--auto-white-balance]
//   [--pick X,Y,R] [--smooth RADIUS,AMOUNT[,THRESHOLD]]
// Collects the photo-tool adjustments in one ColorMap (and a Transform for
// the geometry) and renders them in one ptApplyMap pass; --smooth then
// smooths (negative amounts) or sharpens (positive) the rendered picture.
#include <opencv2/core/core_c.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/cli.h"

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

WhiteBalance chooseWhiteBalance(const std::optional<std::string>& temperature, const std::optional<std::string>& tint,
                                bool automatic, const std::optional<std::string>& pick, const cv::Mat& photo) {
    WhiteBalance wb;
    if (int(bool(temperature || tint)) + int(automatic) + int(bool(pick)) > 1)
        throw UsageError("give one of --temperature/--tint, --auto-white-balance and --pick");
    IplImage header = cvIplImage(photo);
    if (temperature || tint) {
        wb.wanted = true;
        if (temperature) wb.temperature = parseNumber(*temperature, "--temperature", 1200, 12000);
        if (tint) wb.green = parseNumber(*tint, "--tint", 0.02, 5.0);
    } else if (automatic) {
        RecordOwner<Histography> h(ptCreateHistography(&header));
        if (!h) throw UsageError("not enough memory for the histogram");
        ptGetTemp(h.get(), &wb.temperature, &wb.green);
        if (wb.temperature == 0)
            throw UsageError("--auto-white-balance: no pixel below 250 in all three channels to estimate from");
        wb.wanted = true;
    } else if (pick) {
        const auto v = parseList(*pick, "--pick X,Y,R", 3, 0, 100000);
        if (v[0] >= photo.cols || v[1] >= photo.rows)
            throw UsageError("--pick X,Y must lie inside the " + std::to_string(photo.cols) + "x" +
                             std::to_string(photo.rows) + " picture");
        wb.temperature = 0;
        ptPickTemp(&header, int(v[0]), int(v[1]), int(v[2]), &wb.temperature, &wb.green);
        if (wb.temperature == 0) throw UsageError("--pick: the area has no red or green to measure");
        wb.wanted = true;
    }
    if (automatic || pick) std::printf("temperature %.0f K, green %.4f\n", wb.temperature, wb.green);
    return wb;
}

// A picture turned by ptRotateClone, as an owned cv::Mat.
cv::Mat quarterTurn(const cv::Mat& picture, int turns, bool mirror) {
    IplImage header = cvIplImage(picture);
    IplImage* turned = ptRotateClone(&header, turns, mirror ? 1 : 0);
    if (!turned) throw UsageError("not enough memory to turn the picture");
    cv::Mat copy = cv::cvarrToMat(turned).clone();
    cvReleaseImage(&turned);
    return copy;
}

// --smooth RADIUS,AMOUNT[,THRESHOLD]: sigma in pixels, percent, levels.
struct Smoothing {
    double radius = 0.0;
    int amount = 0;  // 0 does nothing
    int threshold = 0;
};

Smoothing parseSmoothing(const std::string& text) {
    const std::vector<std::string> parts = splitCommas(text);
    if (parts.size() != 2 && parts.size() != 3)
        throw UsageError("--smooth takes RADIUS,AMOUNT[,THRESHOLD], not '" + text + "'");
    return {parseNumber(parts[0], "--smooth RADIUS", 0.0, 1000.0), parseInt(parts[1], "--smooth AMOUNT", -100, 500),
            parts.size() == 3 ? parseInt(parts[2], "--smooth THRESHOLD", 0, 255) : 0};
}

}  // namespace

int runAdjust(Arguments& args) {
    const auto hue = args.option("hue");
    const auto saturation = args.option("saturation");
    const auto technicolor = args.option("technicolor");
    const auto lens = args.option("lens");
    const auto aberration = args.option("aberration");
    const auto rotate = args.option("rotate");
    const auto scale = args.option("scale");
    const auto shift = args.option("shift");
    const auto blend = args.option("blend");
    const auto quarter = args.option("rotate-quarter");
    const bool mirror = args.flag("mirror");
    const auto brightness = args.option("brightness");
    const auto exposure = args.option("exposure");
    const auto toneExposure = args.option("tone-exposure");
    const auto highlights = args.option("highlights");
    const auto shadows = args.option("shadows");
    const auto contrast = args.option("contrast");
    const auto whitePoint = args.option("white-point");
    const auto blackPoint = args.option("black-point");
    const auto temperature = args.option("temperature");
    const auto tint = args.option("tint");
    const bool autoWhiteBalance = args.flag("auto-white-balance");
    const auto pick = args.option("pick");
    const auto smooth = args.option("smooth");
    const std::string in = args.positional("input picture IN");
    const std::string out = args.positional("output picture OUT");
    args.finish();

    MapOwner map(ptNewColorMap());
    if (!map) throw UsageError("not enough memory for the settings");
    // Tone operations compose in call order: levels first, then the curves.
    if (exposure) ptRealExposure(map.get(), parseInt(*exposure, "--exposure", -500, 500));
    if (whitePoint || blackPoint) {
        const int white = whitePoint ? parseInt(*whitePoint, "--white-point", 1, 255) : 255;
        const int black = blackPoint ? parseInt(*blackPoint, "--black-point", 0, 254) : 0;
        if (white <= black) throw UsageError("--white-point must lie above --black-point");
        ptWhiteBlackPoint(map.get(), white, black);
    }
    if (toneExposure) ptExposureSP(map.get(), parseInt(*toneExposure, "--tone-exposure", -100, 100));
    if (brightness) ptBrightnessSP(map.get(), parseInt(*brightness, "--brightness", -100, 100));
    if (highlights || shadows)
        ptLightDarkSP(map.get(), highlights ? parseInt(*highlights, "--highlights", -100, 100) : 0,
                      shadows ? parseInt(*shadows, "--shadows", -100, 100) : 0);
    if (contrast) ptContrastSP(map.get(), parseInt(*contrast, "--contrast", -100, 100));
    if (hue || saturation)
        ptAdjustColorGlobalSP(map.get(), hue ? parseInt(*hue, "--hue", -360, 360) : 0,
                              saturation ? parseInt(*saturation, "--saturation", -100, 100) : 0);
    if (technicolor) {
        const auto c = parseList(*technicolor, "--technicolor", 6, 0.0, 1.0);
        ptTechnicolor(map.get(), float(c[0]), float(c[1]), float(c[2]), float(c[3]), float(c[4]), float(c[5]));
    }
    if (lens) {
        const std::vector<std::string> parts = splitCommas(*lens);
        if (parts.size() != 2) throw UsageError("--lens takes AMOUNT,RADIUS, not '" + *lens + "'");
        ptLensCorrection(map.get(), parseInt(parts[0], "--lens AMOUNT", -100, 100),
                         parseInt(parts[1], "--lens RADIUS", -1000, 1000));
    }
    if (aberration) {
        const auto v = parseList(*aberration, "--aberration R,B", 2, -2000, 2000);
        ptAberration(map.get(), int(v[0]), int(v[1]));
    }
    Geometry geometry;
    if (rotate) geometry.degrees = parseNumber(*rotate, "--rotate", -360.0, 360.0);
    if (scale) geometry.scale = parseNumber(*scale, "--scale", 0.05, 20.0);
    if (shift) {
        const auto v = parseList(*shift, "--shift DX,DY", 2, -100000.0, 100000.0);
        geometry.shiftX = v[0];
        geometry.shiftY = v[1];
    }
    if (mirror && !quarter) throw UsageError("--mirror goes with --rotate-quarter");
    const int turns = quarter ? parseInt(*quarter, "--rotate-quarter", 0, 3) : 0;
    const Smoothing smoothing = smooth ? parseSmoothing(*smooth) : Smoothing{};

    cv::Mat other;
    if (blend) {
        const std::vector<std::string> parts = splitCommas(*blend);
        if (parts.size() != 2) throw UsageError("--blend takes OTHER,PERCENT, not '" + *blend + "'");
        ptBlend(map.get(), parseInt(parts[1], "--blend PERCENT", 0, 100));
        other = readPhoto(parts[0]);
    }

    cv::Mat photo = readPhoto(in);
    const WhiteBalance wb = chooseWhiteBalance(temperature, tint, autoWhiteBalance, pick, photo);
    if (wb.wanted) ptWhiteBalanceSP(map.get(), wb.temperature, wb.green);
    if (blend && other.size() != photo.size())
        throw UsageError("--blend picture must be " + std::to_string(photo.cols) + "x" + std::to_string(photo.rows) +
                         " like IN");
    if (quarter) {
        photo = quarterTurn(photo, turns, mirror);
        if (blend) other = quarterTurn(other, turns, mirror);
    }

    TransformOwner tf;
    if (geometry.any()) tf = makeTransform(geometry, photo.cols, photo.rows);
    cv::Mat result(photo.size(), CV_8UC3);
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    IplImage second = blend ? cvIplImage(other) : IplImage{};
    if (ptApplyMap(&src, blend ? &second : nullptr, &dst, map.get(), tf.get(), nullptr) != 1)
        throw UsageError(lens ? "--lens RADIUS gives a reference length outside 1..46340 pixels for this picture"
                              : "the settings could not be rendered");
    if (ptSmoothFilterSP(&dst, &dst, smoothing.radius, smoothing.amount, smoothing.threshold, nullptr) != 1)
        throw UsageError("not enough memory to smooth the picture");
    writePicture(out, result);
    return 0;
}

}  // namespace cli
