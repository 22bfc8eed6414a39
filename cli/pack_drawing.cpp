#include "cli/pack_drawing.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>

namespace cli::pack {

namespace {

constexpr double kPi = 3.14159265358979323846;

double smoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

cv::Mat threeChannels(const cv::Mat& field) {
    cv::Mat colour;
    cv::merge(std::vector<cv::Mat>{field, field, field}, colour);
    return colour;
}

cv::Mat stretchToUnit(cv::Mat field) {
    cv::normalize(field, field, 0.0, 1.0, cv::NORM_MINMAX);
    return field;
}

cv::Mat clampUnit(cv::Mat picture) {
    cv::min(picture, 1.0, picture);
    cv::max(picture, 0.0, picture);
    return picture;
}

// Adds `colour` under a soft disc: drawn as an antialiased 8-bit mask in its
// bounding box, softened by `softness` pixels, then added to the picture.
void addSoftDisc(cv::Mat& picture, cv::Point2d centre, double radius, cv::Scalar colour, double softness,
                 double rim = 0.0) {
    const int margin = static_cast<int>(std::ceil(radius + 3.0 * softness + 2.0));
    const cv::Rect box(static_cast<int>(centre.x) - margin, static_cast<int>(centre.y) - margin, 2 * margin + 1,
                       2 * margin + 1);
    const cv::Rect inside = box & cv::Rect(0, 0, picture.cols, picture.rows);
    if (inside.empty()) return;
    cv::Mat mask = cv::Mat::zeros(box.size(), CV_8UC1);
    const cv::Point local(static_cast<int>(centre.x) - box.x, static_cast<int>(centre.y) - box.y);
    const int r = std::max(1, static_cast<int>(radius));
    cv::circle(mask, local, r, cv::Scalar(255.0 * (1.0 - rim)), cv::FILLED, cv::LINE_AA);
    if (rim > 0.0) cv::circle(mask, local, r, cv::Scalar(255), std::max(1, r / 12), cv::LINE_AA);
    if (softness > 0.0) cv::GaussianBlur(mask, mask, cv::Size(), softness);
    cv::Mat weight;
    mask(inside - box.tl()).convertTo(weight, CV_32F, 1.0 / 255.0);
    cv::Mat region = picture(inside);
    region += threeChannels(weight).mul(flatColour(inside.size(), colour));
}

cv::Scalar paletteColour(LeakPalette palette, cv::RNG& rng) {
    static const std::array<std::array<cv::Scalar, 3>, 4> kPalettes = {{
        {cv::Scalar(0.05, 0.45, 1.0), cv::Scalar(0.10, 0.20, 0.95), cv::Scalar(0.25, 0.80, 1.0)},  // warm
        {cv::Scalar(0.55, 0.25, 1.0), cv::Scalar(0.75, 0.45, 0.95), cv::Scalar(0.30, 0.35, 1.0)},  // rose
        {cv::Scalar(1.0, 0.70, 0.20), cv::Scalar(0.95, 0.85, 0.45), cv::Scalar(0.90, 0.40, 0.35)},  // cool
        {cv::Scalar(0.20, 0.75, 1.0), cv::Scalar(0.45, 0.90, 1.0), cv::Scalar(0.10, 0.55, 0.95)},  // golden
    }};
    return kPalettes[static_cast<size_t>(palette)][static_cast<size_t>(rng.uniform(0, 3))];
}

}  // namespace

cv::Mat valueNoise(cv::Size size, int cells, uint64_t seed) {
    cv::RNG rng(seed);
    const int across = std::max(2, cells);
    const int down = std::max(2, cells * size.height / std::max(1, size.width));
    cv::Mat grid(down + 1, across + 1, CV_32FC1);
    rng.fill(grid, cv::RNG::UNIFORM, 0.0, 1.0);
    cv::Mat field;
    cv::resize(grid, field, size, 0, 0, cv::INTER_CUBIC);
    return field;
}

cv::Mat fractalNoise(cv::Size size, int cells, int octaves, uint64_t seed) {
    cv::Mat sum = cv::Mat::zeros(size, CV_32FC1);
    double strength = 1.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += valueNoise(size, cells << octave, seed * 131 + static_cast<uint64_t>(octave)) * strength;
        strength *= 0.5;
    }
    return stretchToUnit(sum);
}

cv::Mat grainField(cv::Size size, double blur, uint64_t seed) {
    cv::RNG rng(seed);
    cv::Mat field(size, CV_32FC1);
    rng.fill(field, cv::RNG::NORMAL, 0.0, 1.0);
    if (blur <= 0.0) return field;
    cv::GaussianBlur(field, field, cv::Size(), blur);
    cv::Scalar mean, spread;
    cv::meanStdDev(field, mean, spread);
    return (field - mean[0]) / std::max(spread[0], 1e-6);
}

cv::Mat radialFalloff(cv::Size size, double cx, double cy, double inner, double outer) {
    cv::Mat field(size, CV_32FC1);
    for (int y = 0; y < size.height; ++y) {
        float* row = field.ptr<float>(y);
        const double dy = 2.0 * ((y + 0.5) / size.height - cy);
        for (int x = 0; x < size.width; ++x) {
            const double dx = 2.0 * ((x + 0.5) / size.width - cx);
            const double distance = std::sqrt((dx * dx + dy * dy) * 0.5);
            row[x] = static_cast<float>(1.0 - smoothStep(inner, outer, distance));
        }
    }
    return field;
}

cv::Mat flatColour(cv::Size size, cv::Scalar bgr) { return cv::Mat(size, CV_32FC3, bgr); }

cv::Mat shade(const cv::Mat& field, cv::Scalar tone, double relief) {
    cv::Mat colour = threeChannels(field) * relief;
    colour += tone - cv::Scalar::all(0.5 * relief);
    return clampUnit(colour);
}

cv::Mat brightness(const cv::Mat& colour) {
    cv::Mat grey;
    cv::cvtColor(colour, grey, cv::COLOR_BGR2GRAY);
    return grey;
}

cv::Mat scaledAlpha(const cv::Mat& field, double gain) { return clampUnit(field * gain); }

cv::Mat paper(cv::Size size, uint64_t seed, cv::Scalar tone, double relief) {
    const cv::Mat clouds = fractalNoise(size, 4, 5, seed);
    cv::Mat fibres = grainField(size, 0.0, seed + 1);
    cv::GaussianBlur(fibres, fibres, cv::Size(), 3.0, 0.7);  // fibres lie along the sheet
    cv::Mat spread;
    cv::meanStdDev(fibres, cv::noArray(), spread);
    fibres /= std::max(spread.at<double>(0), 1e-6);
    const cv::Mat tooth = grainField(size, 0.0, seed + 2);
    cv::Mat field = 0.5 + 0.6 * (clouds - 0.5) + 0.10 * fibres + 0.05 * tooth;
    return shade(field, tone, relief);
}

cv::Mat canvasWeave(cv::Size size, uint64_t seed, cv::Scalar tone, double relief, int pitch) {
    cv::RNG rng(seed);
    std::vector<float> columnThreads(static_cast<size_t>(size.width / pitch + 2));
    std::vector<float> rowThreads(static_cast<size_t>(size.height / pitch + 2));
    for (float& thickness : columnThreads) thickness = static_cast<float>(rng.uniform(0.75, 1.15));
    for (float& thickness : rowThreads) thickness = static_cast<float>(rng.uniform(0.75, 1.15));
    cv::Mat weave(size, CV_32FC1);
    for (int y = 0; y < size.height; ++y) {
        float* row = weave.ptr<float>(y);
        const int threadY = y / pitch;
        const double acrossY = std::sin(kPi * ((y % pitch) + 0.5) / pitch);
        for (int x = 0; x < size.width; ++x) {
            const int threadX = x / pitch;
            const double acrossX = std::sin(kPi * ((x % pitch) + 0.5) / pitch);
            // over-under: the weft shows on one checker colour, the warp on the other
            const bool weftOnTop = ((threadX + threadY) & 1) == 0;
            const double height = weftOnTop ? acrossY * rowThreads[static_cast<size_t>(threadY)]
                                            : acrossX * columnThreads[static_cast<size_t>(threadX)];
            row[x] = static_cast<float>(height);
        }
    }
    const cv::Mat clouds = fractalNoise(size, 5, 4, seed + 1);
    const cv::Mat tooth = grainField(size, 0.6, seed + 2);
    cv::Mat field = 0.5 + 0.55 * (weave - 0.6) + 0.3 * (clouds - 0.5) + 0.06 * tooth;
    return shade(field, tone, relief);
}

cv::Mat grunge(cv::Size size, uint64_t seed, cv::Scalar tone, double relief) {
    const cv::Mat detail = fractalNoise(size, 6, 6, seed);
    const cv::Mat blotches = valueNoise(size, 5, seed + 1);
    cv::Mat patches(size, CV_32FC1);
    for (int y = 0; y < size.height; ++y) {
        const float* in = blotches.ptr<float>(y);
        float* out = patches.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) out[x] = static_cast<float>(smoothStep(0.45, 0.7, in[x]));
    }
    cv::Mat specks = grainField(size, 0.8, seed + 2);
    cv::threshold(specks, specks, 2.2, 1.0, cv::THRESH_BINARY);
    cv::Mat field = 0.5 + 0.7 * (detail - 0.5) - 0.3 * (patches - 0.5) - 0.35 * specks;
    return shade(field, tone, relief);
}

cv::Mat crumpled(cv::Size size, uint64_t seed, cv::Scalar tone, double relief) {
    // Every fold is a straight crease: the sheet tilts one way on one side of
    // it and the other way beyond, so the light on a facet is the sum of the
    // tilts of the folds it lies beside. That gives flat facets and sharp creases.
    struct Fold {
        double nx, ny, offset, light;
        double cx, cy, reach2;  // a fold runs out within `reach` of its middle
    };
    cv::RNG rng(seed);
    std::vector<Fold> folds;
    for (int i = 0; i < 50; ++i) {
        const double angle = rng.uniform(0.0, kPi);
        const double nx = std::cos(angle), ny = std::sin(angle);
        const cv::Point2d through(rng.uniform(0.0, 0.5) * size.width, rng.uniform(0.0, 0.5) * size.height);
        const double reach = rng.uniform(0.08, 0.25) * size.width;
        const double strength = rng.uniform(0.3, 1.0);
        folds.push_back({nx, ny, -(nx * through.x + ny * through.y), strength * (0.7 * nx + 0.7 * ny), through.x,
                         through.y, reach * reach});
    }
    // Facets are smooth, so the light is worked out at half size and enlarged.
    const cv::Size half(size.width / 2, size.height / 2);
    cv::Mat litHalf(half, CV_32FC1);
    for (int y = 0; y < half.height; ++y) {
        float* row = litHalf.ptr<float>(y);
        for (int x = 0; x < half.width; ++x) {
            double light = 0.0;
            for (const Fold& fold : folds) {
                const double dx = x - fold.cx, dy = y - fold.cy;
                const double fade = 1.0 - (dx * dx + dy * dy) / fold.reach2;
                if (fade <= 0.0) continue;
                light += ((fold.nx * x + fold.ny * y + fold.offset >= 0.0) ? fold.light : -fold.light) * fade;
            }
            row[x] = static_cast<float>(light);
        }
    }
    cv::Mat lit, coarse, broad;
    cv::resize(litHalf, lit, size, 0, 0, cv::INTER_LINEAR);
    cv::resize(litHalf, coarse, cv::Size(size.width / 16, size.height / 16), 0, 0, cv::INTER_AREA);
    cv::GaussianBlur(coarse, coarse, cv::Size(), 8.0);
    cv::resize(coarse, broad, size, 0, 0, cv::INTER_LINEAR);
    lit -= 0.7 * broad;  // keeps the sheet evenly lit overall: the creases carry the light
    cv::GaussianBlur(lit, lit, cv::Size(), 1.0);  // creases are folds, not cuts
    cv::Mat spread;
    cv::meanStdDev(lit, cv::noArray(), spread);
    lit /= 6.0 * std::max(spread.at<double>(0), 1e-6);
    const cv::Mat clouds = fractalNoise(size, 4, 4, seed + 8);
    const cv::Mat tooth = grainField(size, 0.0, seed + 9);
    cv::Mat field = 0.5 + lit + 0.15 * (clouds - 0.5) + 0.04 * tooth;
    return shade(field, tone, relief);
}

cv::Mat scratchesAndDust(cv::Size size, uint64_t seed, int scratches, int specks) {
    cv::RNG rng(seed);
    cv::Mat marks = cv::Mat::zeros(size, CV_8UC1);
    for (int i = 0; i < scratches; ++i) {  // long, nearly vertical scratches from the film gate
        const double x = rng.uniform(0.0, static_cast<double>(size.width));
        const double top = rng.uniform(-0.2, 0.6) * size.height, length = rng.uniform(0.3, 1.2) * size.height;
        const double drift = rng.uniform(-0.03, 0.03) * size.width;
        const cv::Point from(static_cast<int>(x), static_cast<int>(top));
        const cv::Point to(static_cast<int>(x + drift), static_cast<int>(top + length));
        cv::line(marks, from, to, cv::Scalar(rng.uniform(90, 255)), rng.uniform(0, 4) == 0 ? 2 : 1, cv::LINE_AA);
    }
    for (int i = 0; i < specks / 8; ++i) {  // hairs: short random walks
        std::vector<cv::Point> hair;
        cv::Point2d at(rng.uniform(0.0, 1.0) * size.width, rng.uniform(0.0, 1.0) * size.height);
        double heading = rng.uniform(0.0, 2.0 * kPi);
        for (int step = 0; step < 14; ++step) {
            hair.emplace_back(static_cast<int>(at.x), static_cast<int>(at.y));
            heading += rng.uniform(-0.5, 0.5);
            at += cv::Point2d(std::cos(heading), std::sin(heading)) * 6.0;
        }
        cv::polylines(marks, hair, false, cv::Scalar(rng.uniform(120, 230)), 1, cv::LINE_AA);
    }
    for (int i = 0; i < specks; ++i) {  // dust
        const cv::Point centre(rng.uniform(0, size.width), rng.uniform(0, size.height));
        const cv::Size axes(rng.uniform(1, 4), rng.uniform(1, 3));
        cv::ellipse(marks, centre, axes, rng.uniform(0.0, 180.0), 0, 360, cv::Scalar(rng.uniform(110, 255)),
                    cv::FILLED, cv::LINE_AA);
    }
    cv::GaussianBlur(marks, marks, cv::Size(), 0.6);
    cv::Mat field;
    marks.convertTo(field, CV_32F, 1.0 / 255.0);
    return threeChannels(field);
}

cv::Mat stains(cv::Size size, uint64_t seed) {
    cv::RNG rng(seed);
    cv::Mat rings = cv::Mat::zeros(size, CV_8UC1);
    for (int i = 0; i < 5; ++i) {
        const cv::Point centre(rng.uniform(0, size.width), rng.uniform(0, size.height));
        const int radius = rng.uniform(size.width / 14, size.width / 6);
        const cv::Size axes(radius, static_cast<int>(radius * rng.uniform(0.85, 1.0)));
        const double tilt = rng.uniform(0.0, 180.0);
        cv::ellipse(rings, centre, axes, tilt, 0, 360, cv::Scalar(50), cv::FILLED, cv::LINE_AA);  // the dried pool
        cv::ellipse(rings, centre, axes, tilt, rng.uniform(0, 90), rng.uniform(250, 360), cv::Scalar(200),
                    rng.uniform(3, 7), cv::LINE_AA);  // the darker tide line
    }
    cv::GaussianBlur(rings, rings, cv::Size(), 2.5);
    cv::Mat mark;
    rings.convertTo(mark, CV_32F, 1.0 / 255.0);
    const cv::Mat blotches = fractalNoise(size, 3, 4, seed + 1);
    for (int y = 0; y < size.height; ++y) {
        const float* cloud = blotches.ptr<float>(y);
        float* out = mark.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) out[x] += static_cast<float>(0.35 * smoothStep(0.6, 0.95, cloud[x]));
    }
    const cv::Mat sheet = paper(size, seed + 2, cv::Scalar(0.86, 0.92, 0.96), 0.12);
    const cv::Scalar coffeeLoss(0.55, 0.42, 0.28);  // what a stain takes from blue, green, red
    return clampUnit(sheet - threeChannels(mark).mul(flatColour(size, coffeeLoss)));
}

cv::Mat lightLeak(cv::Size size, uint64_t seed, LeakPalette palette) {
    cv::RNG rng(seed);
    const cv::Size small(size.width / 8, size.height / 8);
    cv::Mat glow = cv::Mat::zeros(small, CV_32FC3);
    const int blobs = rng.uniform(3, 6);
    const int side = rng.uniform(0, 4);  // the leak enters from one edge
    for (int i = 0; i < blobs; ++i) {
        const double along = rng.uniform(0.0, 1.0), depth = rng.uniform(-0.15, 0.2);
        cv::Point2d centre;
        switch (side) {
            case 0: centre = {along * small.width, depth * small.height}; break;
            case 1: centre = {(1.0 - depth) * small.width, along * small.height}; break;
            case 2: centre = {along * small.width, (1.0 - depth) * small.height}; break;
            default: centre = {depth * small.width, along * small.height}; break;
        }
        const double radius = rng.uniform(0.12, 0.35) * small.width;
        addSoftDisc(glow, centre, radius, paletteColour(palette, rng) * rng.uniform(0.5, 1.0), radius * 0.6);
    }
    cv::GaussianBlur(glow, glow, cv::Size(), small.width * 0.05);
    cv::Mat leak;
    cv::resize(glow, leak, size, 0, 0, cv::INTER_CUBIC);
    leak += threeChannels(grainField(size, 0.0, seed + 1)) * 0.01;  // dither against banding
    return clampUnit(leak);
}

cv::Mat bokeh(cv::Size size, uint64_t seed, int discs, LeakPalette palette) {
    cv::RNG rng(seed);
    cv::Mat light = cv::Mat::zeros(size, CV_32FC3);
    for (int i = 0; i < discs; ++i) {
        const cv::Point2d centre(rng.uniform(0.0, 1.0) * size.width, rng.uniform(0.0, 1.0) * size.height);
        const double radius = rng.uniform(0.01, 0.07) * size.width;
        addSoftDisc(light, centre, radius, paletteColour(palette, rng) * rng.uniform(0.15, 0.55), 1.5, 0.3);
    }
    cv::GaussianBlur(light, light, cv::Size(), 1.2);
    return clampUnit(light);
}

cv::Mat sparkles(cv::Size size, uint64_t seed, int count) {
    cv::RNG rng(seed);
    cv::Mat stars = cv::Mat::zeros(size, CV_8UC1);
    for (int i = 0; i < count; ++i) {
        const cv::Point centre(rng.uniform(0, size.width), rng.uniform(0, size.height));
        const int reach = rng.uniform(4, 22);
        const cv::Scalar glint(rng.uniform(100, 220));
        cv::line(stars, centre - cv::Point(reach, 0), centre + cv::Point(reach, 0), glint, 1, cv::LINE_AA);
        cv::line(stars, centre - cv::Point(0, reach), centre + cv::Point(0, reach), glint, 1, cv::LINE_AA);
        cv::circle(stars, centre, rng.uniform(1, 3), cv::Scalar(255), cv::FILLED, cv::LINE_AA);
    }
    cv::Mat sharp, halo;
    stars.convertTo(sharp, CV_32F, 1.0 / 255.0);
    cv::GaussianBlur(sharp, halo, cv::Size(), 6.0);
    cv::Mat field = sharp + halo * 3.0;
    return clampUnit(threeChannels(field).mul(flatColour(size, cv::Scalar(0.8, 0.95, 1.0))));
}

cv::Mat grainPlate(cv::Size size, uint64_t seed, double amount, double blur, double chroma) {
    const cv::Mat mono = grainField(size, blur, seed);
    std::vector<cv::Mat> channels;
    for (uint64_t c = 0; c < 3; ++c)
        channels.push_back(0.5 + amount * ((1.0 - chroma) * mono + chroma * grainField(size, blur, seed + 1 + c)));
    cv::Mat plate;
    cv::merge(channels, plate);
    return clampUnit(plate);
}

cv::Mat cornerWash(cv::Size size, cv::Scalar topLeft, cv::Scalar topRight, cv::Scalar bottomLeft,
                   cv::Scalar bottomRight) {
    cv::Mat wash(size, CV_32FC3);
    for (int y = 0; y < size.height; ++y) {
        const double v = smoothStep(0.0, 1.0, (y + 0.5) / size.height);
        cv::Vec3f* row = wash.ptr<cv::Vec3f>(y);
        for (int x = 0; x < size.width; ++x) {
            const double u = smoothStep(0.0, 1.0, (x + 0.5) / size.width);
            const cv::Scalar colour =
                (topLeft * (1.0 - u) + topRight * u) * (1.0 - v) + (bottomLeft * (1.0 - u) + bottomRight * u) * v;
            row[x] = cv::Vec3f(static_cast<float>(colour[0]), static_cast<float>(colour[1]),
                               static_cast<float>(colour[2]));
        }
    }
    return wash;
}

}  // namespace cli::pack
