// lumetra sample OUT [--size WxH]: the bundled default picture, drawn by code
// so it needs no download: a lakeside evening with a wide tonal range, skin
// and foliage hues, saturated accents and fine detail for grain and curves.
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "cli/cli.h"

namespace cli {

namespace {

double smooth(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

cv::Vec3d mixColour(const cv::Vec3d& a, const cv::Vec3d& b, double t) { return a * (1.0 - t) + b * t; }

// A ridge line: a few sines of decreasing period, fixed phases.
double ridge(double x, double base, double amplitude, double seed) {
    return base - amplitude * (0.55 * std::sin(x * 3.1 + seed) + 0.3 * std::sin(x * 7.3 + 2.0 * seed) +
                               0.15 * std::sin(x * 17.9 + 3.0 * seed));
}

cv::Vec3d skyAt(double u, double v, double sunU, double sunV) {
    const cv::Vec3d zenith(120, 60, 25), horizon(120, 170, 250);  // BGR
    cv::Vec3d colour = mixColour(zenith, horizon, std::pow(std::clamp(v / 0.55, 0.0, 1.0), 1.6));
    const double d = std::hypot((u - sunU) * 1.5, v - sunV);
    colour += cv::Vec3d(60, 160, 255) * std::exp(-d * 9.0) + cv::Vec3d(255, 255, 255) * smooth(0.045, 0.035, d);
    return colour;
}

void drawLandscape(cv::Mat& picture) {
    const int width = picture.cols, height = picture.rows;
    const double sunU = 0.68, sunV = 0.42, horizonV = 0.62;
    cv::RNG rng(20261205);
    for (int y = 0; y < height; ++y) {
        const double v = (y + 0.5) / height;
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            cv::Vec3d colour = skyAt(u, v, sunU, sunV);
            const double far = ridge(u, 0.50, 0.06, 1.0), near = ridge(u, 0.58, 0.05, 4.0);
            if (v > far) colour = mixColour(colour, cv::Vec3d(150, 110, 95), 0.8);
            if (v > near) colour = cv::Vec3d(70, 75, 45) * (1.0 - 0.4 * (v - near) / 0.1);
            if (v > horizonV) {  // the lake mirrors the sky and the hills, darker and rippled
                const double mirrorV = 2 * horizonV - v + 0.004 * std::sin(y * 0.9);
                cv::Vec3d mirrored = skyAt(u, mirrorV, sunU, sunV);
                if (mirrorV > ridge(u, 0.58, 0.05, 4.0)) mirrored = cv::Vec3d(60, 65, 40);
                colour = mirrored * 0.72 + cv::Vec3d(30, 20, 5);
            }
            const double shore = 0.80 + 0.03 * std::sin(u * 9.0);
            if (v > shore) {  // meadow with grass texture
                const double blade = 0.5 + 0.5 * std::sin(x * 1.7 + std::sin(y * 0.3) * 3.0);
                colour = mixColour(cv::Vec3d(40, 120, 80), cv::Vec3d(30, 160, 150), blade * (v - shore) * 4.0);
            }
            colour += cv::Vec3d::all(rng.gaussian(3.0));
            picture.at<cv::Vec3b>(y, x) = cv::Vec3b(cv::saturate_cast<uchar>(colour[0]),
                                                    cv::saturate_cast<uchar>(colour[1]),
                                                    cv::saturate_cast<uchar>(colour[2]));
        }
    }
}

void drawAccents(cv::Mat& picture) {
    const int w = picture.cols, h = picture.rows;
    const auto at = [&](double u, double v) { return cv::Point(static_cast<int>(u * w), static_cast<int>(v * h)); };
    const int unit = std::max(1, std::min(w, h) / 100);
    // a red boathouse with a white trim and a dark door
    cv::rectangle(picture, at(0.16, 0.52), at(0.30, 0.63), cv::Scalar(40, 40, 190), cv::FILLED, cv::LINE_AA);
    const cv::Point roof[] = {at(0.15, 0.52), at(0.23, 0.45), at(0.31, 0.52)};
    cv::fillConvexPoly(picture, roof, 3, cv::Scalar(60, 60, 70), cv::LINE_AA);
    cv::rectangle(picture, at(0.21, 0.56), at(0.245, 0.63), cv::Scalar(20, 25, 35), cv::FILLED);
    cv::line(picture, at(0.16, 0.52), at(0.30, 0.52), cv::Scalar(235, 240, 245), unit, cv::LINE_AA);
    // pines on the near hill
    for (int i = 0; i < 9; ++i) {
        const double u = 0.38 + i * 0.03 + 0.01 * std::sin(i * 2.3), base = 0.60, tall = 0.07 + 0.02 * std::sin(i);
        const cv::Point tree[] = {at(u - 0.018, base), at(u, base - tall), at(u + 0.018, base)};
        cv::fillConvexPoly(picture, tree, 3, cv::Scalar(35, 70, 25), cv::LINE_AA);
    }
    // a face-toned balloon and a blue one, for skin and sky hues
    cv::circle(picture, at(0.84, 0.20), 7 * unit, cv::Scalar(150, 180, 230), cv::FILLED, cv::LINE_AA);
    cv::circle(picture, at(0.12, 0.18), 5 * unit, cv::Scalar(210, 140, 40), cv::FILLED, cv::LINE_AA);
    // flowers in the meadow
    cv::RNG rng(7);
    for (int i = 0; i < 60; ++i) {
        const cv::Point centre = at(rng.uniform(0.0, 1.0), rng.uniform(0.86, 0.99));
        const cv::Scalar colour = i % 3 == 0 ? cv::Scalar(40, 200, 250) : i % 3 == 1 ? cv::Scalar(180, 60, 200)
                                                                                     : cv::Scalar(245, 245, 250);
        cv::circle(picture, centre, unit, colour, cv::FILLED, cv::LINE_AA);
    }
}

}  // namespace

int runSample(Arguments& args) {
    const std::optional<std::string> size = args.option("size");
    const std::string out = args.positional("output picture OUT");
    args.finish();
    int width = 1200, height = 800;
    if (size) {
        const size_t x = size->find('x');
        if (x == std::string::npos) throw UsageError("--size must be WxH, not '" + *size + "'");
        width = parseInt(size->substr(0, x), "--size width", 16, 8000);
        height = parseInt(size->substr(x + 1), "--size height", 16, 8000);
    }
    cv::Mat picture(height, width, CV_8UC3);
    drawLandscape(picture);
    drawAccents(picture);
    writePicture(out, picture);
    return 0;
}

}  // namespace cli
