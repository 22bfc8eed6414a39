// lumetra sample OUT [--size WxH]: the bundled default picture, drawn by code
// so it needs no download: a lakeside evening with a wide tonal range, skin
// and foliage hues, saturated accents and fine detail for grain and curves.
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "cli/cli.h"
#include "cli/command.h"
#include "cli/pack_drawing.h"

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

// Fields that give the scene its natural irregularity, from fixed seeds.
struct SceneNoise {
    cv::Mat clouds, hillTexture, ripples, grass, meadowColour;
};

SceneNoise sceneNoise(cv::Size size) {
    SceneNoise noise;
    noise.clouds = pack::fractalNoise(size, 5, 6, 71);
    noise.hillTexture = pack::fractalNoise(size, 24, 4, 72);
    noise.ripples = pack::valueNoise(cv::Size(size.width, std::max(2, size.height / 6)), 40, 73);
    cv::resize(noise.ripples, noise.ripples, size, 0, 0, cv::INTER_LINEAR);
    cv::Mat blades = pack::grainField(size, 0.0, 74);
    cv::GaussianBlur(blades, blades, cv::Size(), 0.6, 4.0);  // grass stands upright
    noise.grass = blades;
    noise.meadowColour = pack::fractalNoise(size, 6, 4, 75);
    return noise;
}

void drawLandscape(cv::Mat& picture) {
    const int width = picture.cols, height = picture.rows;
    const double sunU = 0.68, sunV = 0.42, horizonV = 0.62;
    const SceneNoise noise = sceneNoise(picture.size());
    for (int y = 0; y < height; ++y) {
        const double v = (y + 0.5) / height;
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            cv::Vec3d colour = skyAt(u, v, sunU, sunV);
            // cumulus drifting above the hills, lit warm on the sun's side
            const double cloud = smooth(0.5, 0.8, noise.clouds.at<float>(y, x)) * smooth(0.1, 0.3, v) *
                                 smooth(0.52, 0.38, v);
            const double sunSide = std::clamp(1.0 - std::abs(u - sunU) * 1.8, 0.0, 1.0);
            colour = mixColour(colour, mixColour(cv::Vec3d(170, 160, 175), cv::Vec3d(150, 200, 255), sunSide),
                               0.85 * cloud);
            const double texture = noise.hillTexture.at<float>(y, x) - 0.5;
            const double far = ridge(u, 0.50, 0.06, 1.0) + 0.006 * texture;
            const double near = ridge(u, 0.58, 0.05, 4.0) + 0.01 * texture;
            if (v > far) colour = mixColour(colour, cv::Vec3d(150, 115, 100) * (1.0 + 0.25 * texture), 0.75);
            if (v > near) {  // forested near hill, darker toward the shore
                colour = cv::Vec3d(60, 78, 45) * (1.0 - 0.4 * (v - near) / 0.1) * (1.0 + 0.9 * texture);
                colour = mixColour(colour, cv::Vec3d(150, 130, 120), 0.2);  // evening haze
            }
            if (v > horizonV) {  // the lake mirrors sky and hills, broken by ripples
                const double ripple = noise.ripples.at<float>(y, x) - 0.5;
                const double mirrorV = 2 * horizonV - v + 0.02 * ripple * (v - horizonV) * 6.0;
                cv::Vec3d mirrored = skyAt(u + 0.004 * ripple, mirrorV, sunU, sunV);
                if (mirrorV > ridge(u, 0.58, 0.05, 4.0)) mirrored = cv::Vec3d(55, 65, 40);
                colour = mirrored * (0.68 + 0.12 * ripple) + cv::Vec3d(30, 20, 5);
                const double glitter = std::exp(-std::pow((u - sunU) * 9.0, 2)) * smooth(0.15, 0.4, ripple);
                colour += cv::Vec3d(120, 200, 255) * glitter;  // the sun's path on the water
            }
            const double shore = 0.80 + 0.03 * std::sin(u * 9.0) + 0.008 * texture;
            if (v > shore) {  // meadow: upright blades, patches of lush and dry grass
                const double depth = std::clamp((v - shore) / (1.0 - shore), 0.0, 1.0);
                const double patch = noise.meadowColour.at<float>(y, x);
                const cv::Vec3d lush(40, 125, 70), dry(60, 150, 160);
                colour = mixColour(lush, dry, patch) * (0.75 + 0.5 * depth * (0.5 + 0.5 * patch));
                colour *= 1.0 + 0.18 * (0.5 + 0.5 * depth) * noise.grass.at<float>(y, x);
            }
            // a touch of lens falloff toward the corners
            const double dx = u - 0.5, dy = v - 0.5;
            colour *= 1.0 - 0.35 * (dx * dx + dy * dy);
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
    // a red boathouse: lit gable end, shaded side wall, dark roof, a lit window
    const cv::Point side[] = {at(0.30, 0.52), at(0.36, 0.535), at(0.36, 0.625), at(0.30, 0.63)};
    cv::fillConvexPoly(picture, side, 4, cv::Scalar(30, 30, 120), cv::LINE_AA);
    const cv::Point roofSide[] = {at(0.23, 0.45), at(0.29, 0.465), at(0.37, 0.535), at(0.31, 0.52)};
    cv::fillConvexPoly(picture, roofSide, 4, cv::Scalar(45, 45, 55), cv::LINE_AA);
    cv::rectangle(picture, at(0.16, 0.52), at(0.30, 0.63), cv::Scalar(40, 45, 175), cv::FILLED, cv::LINE_AA);
    const cv::Point gable[] = {at(0.15, 0.52), at(0.23, 0.45), at(0.31, 0.52)};
    cv::fillConvexPoly(picture, gable, 3, cv::Scalar(60, 60, 75), cv::LINE_AA);
    cv::rectangle(picture, at(0.21, 0.56), at(0.245, 0.63), cv::Scalar(20, 25, 35), cv::FILLED);
    cv::rectangle(picture, at(0.32, 0.56), at(0.345, 0.59), cv::Scalar(90, 190, 250), cv::FILLED, cv::LINE_AA);
    cv::line(picture, at(0.16, 0.52), at(0.30, 0.52), cv::Scalar(225, 232, 240), unit, cv::LINE_AA);
    // pines along the near hill: tiers of boughs, darker on the shaded side
    cv::RNG rng(7);
    for (int i = 0; i < 16; ++i) {
        const double u = 0.38 + i * 0.022 + rng.uniform(-0.006, 0.006), base = 0.605 + rng.uniform(-0.01, 0.01);
        const double tall = rng.uniform(0.06, 0.11), wide = tall * 0.28;
        for (int tier = 0; tier < 4; ++tier) {
            const double top = base - tall * (1.0 - tier * 0.22), bottom = base - tall * (0.55 - tier * 0.18);
            const double spread = wide * (0.5 + tier * 0.2);
            const cv::Point lit[] = {at(u - spread, bottom), at(u, top), at(u, bottom + 0.005)};
            const cv::Point shade[] = {at(u, bottom + 0.005), at(u, top), at(u + spread, bottom)};
            cv::fillConvexPoly(picture, lit, 3, cv::Scalar(40, 72, 35), cv::LINE_AA);
            cv::fillConvexPoly(picture, shade, 3, cv::Scalar(28, 48, 22), cv::LINE_AA);
        }
    }
    // wild flowers, denser and larger toward the front
    for (int i = 0; i < 140; ++i) {
        const double depth = std::sqrt(rng.uniform(0.0, 1.0));
        const cv::Point centre = at(rng.uniform(0.0, 1.0), 0.84 + 0.16 * depth);
        const int radius = std::max(1, static_cast<int>(unit * (0.3 + 0.8 * depth)));
        const cv::Scalar colour = i % 3 == 0 ? cv::Scalar(40, 190, 245) : i % 3 == 1 ? cv::Scalar(170, 70, 190)
                                                                                     : cv::Scalar(225, 230, 240);
        cv::circle(picture, centre, radius, colour * rng.uniform(0.7, 1.0), cv::FILLED, cv::LINE_AA);
    }
}

// A lens is never razor sharp, and a sensor is never silent.
void finishLikeACamera(cv::Mat& picture) {
    cv::GaussianBlur(picture, picture, cv::Size(), 0.7);
    cv::Mat noise(picture.size(), CV_16SC3);
    cv::RNG rng(20261205);
    rng.fill(noise, cv::RNG::NORMAL, 0.0, 2.5);
    cv::Mat withNoise;
    cv::add(picture, noise, withNoise, cv::noArray(), CV_16SC3);
    withNoise.convertTo(picture, CV_8UC3);
}

}  // namespace

cv::Mat drawSamplePicture(int width, int height) {
    cv::Mat picture(height, width, CV_8UC3);
    drawLandscape(picture);
    drawAccents(picture);
    finishLikeACamera(picture);
    return picture;
}

namespace {

struct SampleOptions {
    std::string out;
    std::string size = "1200x800";
};

int runSample(const SampleOptions& options) {
    const size_t x = options.size.find('x');
    if (x == std::string::npos) throw UsageError("--size must be WxH, not '" + options.size + "'");
    const int width = parseInt(options.size.substr(0, x), "--size width", 16, 8000);
    const int height = parseInt(options.size.substr(x + 1), "--size height", 16, 8000);
    writePicture(options.out, drawSamplePicture(width, height));
    return 0;
}

}  // namespace

void addSampleCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "sample", "Draw the bundled default picture, a lakeside evening.",
                                   "lumetra sample photo.png --size 1200x800");
    auto options = std::make_shared<SampleOptions>();
    addPicture(command, "OUT", options->out, "output picture");
    command->add_option("--size", options->size, "picture size WxH, each side 16..8000")->capture_default_str();
    runWith(command, options, runSample);
}

}  // namespace cli
