// Aperture shapes for the aperture tilt-shift: white openings on black. The
// blur reads only their green channel, so the shapes are grey.
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <numbers>

#include "cli/picture_pack.h"

namespace cli::pack {

namespace {

constexpr int kShapeSide = 256;
constexpr int kSupersample = 4;  // drawn large, then reduced by area for soft edges

// The outline (points in 0..1 of the side) filled white and reduced.
PackPicture aperture(std::string name, std::function<std::vector<cv::Point2d>()> outline) {
    return {Folder::apertures, std::move(name), 3, [outline] {
                const int side = kShapeSide * kSupersample;
                cv::Mat large(side, side, CV_8UC1, cv::Scalar(0));
                std::vector<cv::Point> points;
                for (const cv::Point2d& p : outline()) points.emplace_back(int(p.x * side), int(p.y * side));
                cv::fillPoly(large, std::vector<std::vector<cv::Point>>{points}, cv::Scalar(255));
                cv::Mat small, grey, colour;
                cv::resize(large, small, cv::Size(kShapeSide, kShapeSide), 0, 0, cv::INTER_AREA);
                small.convertTo(grey, CV_32F, 1.0 / 255.0);
                cv::cvtColor(grey, colour, cv::COLOR_GRAY2BGR);
                return Drawing{colour, {}};
            }};
}

// A regular polygon of `corners` around the centre, first corner at the top.
std::vector<cv::Point2d> polygon(int corners, double radius, double turn) {
    std::vector<cv::Point2d> points;
    for (int i = 0; i < corners; ++i) {
        const double angle = turn + 2 * std::numbers::pi * i / corners;
        points.emplace_back(0.5 + radius * std::sin(angle), 0.5 - radius * std::cos(angle));
    }
    return points;
}

// The classic parametric heart, scaled into the square.
std::vector<cv::Point2d> heart() {
    std::vector<cv::Point2d> points;
    for (int i = 0; i < 720; ++i) {
        const double t = 2 * std::numbers::pi * i / 720;
        const double x = 16 * std::pow(std::sin(t), 3);
        const double y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        points.emplace_back(0.5 + x / 38.0, 0.47 - y / 38.0);
    }
    return points;
}

}  // namespace

std::vector<PackPicture> aperturePictures() {
    return {
        aperture("disc.png", [] { return polygon(360, 0.45, 0.0); }),
        aperture("hexagon.png", [] { return polygon(6, 0.45, std::numbers::pi / 6); }),
        aperture("heart.png", heart),
    };
}

}  // namespace cli::pack
