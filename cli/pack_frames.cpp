// Frames (kind 2): every frame is drawn by one style function of a border
// point (how far along the border, how deep into it, which side), so the
// single stretched picture, the eight pieces and the mats that go under a
// textured border all come from the same design.
//
// For a frame NAME the pack holds:
//   NAME.png            type 1: the whole border on a clear picture
//   NAME_0 .. _7.png    types 2 and 3: corners and edges (edges tile)
//   NAME_a_0 .. _7.png  types 4 and 5: a mat that goes under NAME, and
//   NAME_a_tt.png       the texture blended onto that mat
// so "4,0.05,0,80,9,wood_a" draws the textured mat, and type 5 with the same
// text also lays the tiled "wood" moulding over it.
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "cli/pack_drawing.h"

namespace cli::pack {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kPieceDepth = 128;       // corners are 128 x 128
constexpr int kPieceLength = 256;      // edges are 256 long: two repeats of every pattern
constexpr double kSingleDepth = 0.07;  // border of a single frame picture, of its smaller side

enum Side { top, right, bottom, left };

// A point of the border: `along` in units of the border depth (every pattern
// repeats after 1, so pieces tile), `depth` 0 at the outer edge and 1 at the
// inner edge, `inCorner` where two sides meet.
struct BorderPoint {
    double along;
    double depth;
    Side side;
    bool inCorner;
    int fineX, fineY;  // pixel position within one repeat, for the fine texture
};

struct Covering {
    cv::Vec3f colour;
    float alpha;
};

using FrameStyle = Covering (*)(const BorderPoint&);

// Deterministic per-pixel roughness in -0.5..0.5.
double roughness(int x, int y, uint32_t salt) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + salt * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 65535.0 - 0.5;
}

// Light falls from the top left: top and left faces catch it.
double sideLight(Side side) {
    switch (side) {
        case top: return 0.10;
        case left: return 0.05;
        case right: return -0.07;
        default: return -0.12;
    }
}

cv::Vec3f scaled(cv::Scalar colour, double factor) {
    return cv::Vec3f(static_cast<float>(std::clamp(colour[0] * factor, 0.0, 1.0)),
                     static_cast<float>(std::clamp(colour[1] * factor, 0.0, 1.0)),
                     static_cast<float>(std::clamp(colour[2] * factor, 0.0, 1.0)));
}

// A soft shadow cast on the picture just inside a moulding that ends at `edge`.
Covering innerShadow(double depth, double edge, double reach) {
    const double t = std::clamp((depth - edge) / reach, 0.0, 1.0);
    return {cv::Vec3f(0, 0, 0), static_cast<float>(0.45 * (1.0 - t) * (1.0 - t))};
}

// Dark walnut moulding over the outer 60 % of the border, a rounded lip at
// its inner edge, then a shadow on the picture.
Covering woodMoulding(const BorderPoint& p) {
    constexpr double kEdge = 0.6;
    if (p.depth >= kEdge) return innerShadow(p.depth, kEdge, 0.2);
    const int side = static_cast<int>(p.side);  // each side's grain runs a little differently
    const double wave = 0.5 * std::sin(2 * kPi * p.along + side) + 0.2 * std::sin(6 * kPi * p.along + 2 * side);
    const double rings = std::sin(2 * kPi * (p.depth * 7.0 + wave));
    const double streak = roughness(p.fineX / 3, p.fineY, 11);
    double light = 0.82 + 0.12 * rings + 0.10 * streak + 1.6 * sideLight(p.side);
    if (p.depth < 0.06) light += 2.5 * sideLight(p.side);                                 // outer bevel
    if (p.depth > 0.45) light -= 1.5 * sideLight(p.side) * std::sin(kPi * (p.depth - 0.45) / 0.15);  // lip
    return {scaled(cv::Scalar(0.16, 0.30, 0.50), light), 1.0f};
}

// A strip of film: black base, light sprocket holes, a thin frame line.
Covering filmStrip(const BorderPoint& p) {
    if (p.depth >= 1.0) return {cv::Vec3f(0, 0, 0), 0.0f};
    double base = 0.07 + 0.02 * roughness(p.fineX, p.fineY, 21);
    if (p.depth > 0.9) base = 0.16;  // the edge of the exposed frame
    const double phase = p.along * 2.0 - std::floor(p.along * 2.0);  // two holes per repeat
    const double hx = std::abs(phase - 0.5) / 0.22, hy = std::abs(p.depth - 0.42) / 0.17;
    const bool hole = !p.inCorner && std::pow(hx, 4) + std::pow(hy, 4) < 1.0;  // rounded rectangle
    if (hole) return {scaled(cv::Scalar(0.86, 0.9, 0.92), 1.0 + 0.03 * roughness(p.fineX, p.fineY, 22)), 1.0f};
    return {scaled(cv::Scalar(1.0, 1.0, 1.0), base), 1.0f};
}

// A plain white border with a fine paper tooth and a grey keyline inside.
Covering whiteBorder(const BorderPoint& p) {
    if (p.depth >= 1.0) return innerShadow(p.depth, 1.0, 0.12);
    double light = 0.97 + 0.03 * roughness(p.fineX, p.fineY, 31);
    if (p.depth > 0.88 && p.depth < 0.91) light = 0.62;
    return {scaled(cv::Scalar(0.96, 0.97, 0.98), light), 1.0f};
}

// Mats for the textured frames: the whole border, with a bevelled inner edge.
Covering matWith(const BorderPoint& p, cv::Scalar tone) {
    if (p.depth >= 1.0) return innerShadow(p.depth, 1.0, 0.1);
    double light = 1.0 + 0.04 * roughness(p.fineX, p.fineY, 41);
    if (p.depth > 0.92) light += 3.0 * sideLight(p.side == top || p.side == left ? bottom : top);  // bevel faces in
    return {scaled(tone, light), 1.0f};
}
Covering creamMat(const BorderPoint& p) { return matWith(p, cv::Scalar(0.78, 0.87, 0.93)); }
Covering filmBase(const BorderPoint& p) { return matWith(p, cv::Scalar(0.10, 0.11, 0.12)); }
Covering whiteMat(const BorderPoint& p) { return matWith(p, cv::Scalar(0.93, 0.94, 0.95)); }

// Draws a border of `depth` pixels along the outer edges present in the
// picture (a piece has one or two, a single frame picture all four).
Drawing drawBorder(cv::Size size, double depth, bool hasTop, bool hasRight, bool hasBottom, bool hasLeft,
                   FrameStyle style) {
    Drawing drawing{cv::Mat(size, CV_32FC3), cv::Mat(size, CV_32FC1)};
    const double far = 1e9;
    for (int y = 0; y < size.height; ++y) {
        cv::Vec3f* colour = drawing.colour.ptr<cv::Vec3f>(y);
        float* alpha = drawing.alpha.ptr<float>(y);
        const double fromTop = hasTop ? y : far, fromBottom = hasBottom ? size.height - 1 - y : far;
        for (int x = 0; x < size.width; ++x) {
            const double fromLeft = hasLeft ? x : far, fromRight = hasRight ? size.width - 1 - x : far;
            const double horizontal = std::min(fromTop, fromBottom), vertical = std::min(fromLeft, fromRight);
            BorderPoint point{};
            point.side = horizontal <= vertical ? (fromTop <= fromBottom ? top : bottom)
                                                : (fromLeft <= fromRight ? left : right);
            const bool runsAcross = point.side == top || point.side == bottom;
            const int along = runsAcross ? x : y;
            point.along = along / depth;
            point.depth = std::min(horizontal, vertical) / depth;
            point.inCorner = horizontal < depth && vertical < depth;
            point.fineX = static_cast<int>(std::fmod(along, depth));
            point.fineY = static_cast<int>(std::min(horizontal, vertical));
            const Covering covering = style(point);
            colour[x] = covering.colour;
            alpha[x] = covering.alpha;
        }
    }
    return drawing;
}

PackPicture framePicture(std::string name, std::function<Drawing()> draw) {
    return {Folder::frames, std::move(name), 4, std::move(draw)};
}

// Piece i of a frame: 0 top-left, 1 top, 2 top-right, 3 right, 4 bottom-right,
// 5 bottom, 6 bottom-left, 7 left.
Drawing drawPiece(int piece, FrameStyle style) {
    const bool isTop = piece <= 2, isBottom = piece >= 4 && piece <= 6;
    const bool isLeft = piece == 0 || piece >= 6, isRight = piece >= 2 && piece <= 4;
    const bool isCorner = piece % 2 == 0;
    const cv::Size size = isCorner ? cv::Size(kPieceDepth, kPieceDepth)
                          : (isTop || isBottom) ? cv::Size(kPieceLength, kPieceDepth)
                                                : cv::Size(kPieceDepth, kPieceLength);
    return drawBorder(size, kPieceDepth, isTop, isRight, isBottom, isLeft, style);
}

void addPieces(std::vector<PackPicture>& pictures, const std::string& name, FrameStyle style) {
    for (int piece = 0; piece < 8; ++piece)
        pictures.push_back(framePicture(name + "_" + std::to_string(piece) + ".png",
                                        [piece, style] { return drawPiece(piece, style); }));
}

struct FrameDesign {
    const char* name;
    FrameStyle border;
    FrameStyle mat;
    std::function<cv::Mat()> matTexture;  // grey-centred: it is blended onto the mat
};

std::vector<FrameDesign> frameDesigns() {
    const cv::Scalar grey(0.5, 0.5, 0.5);
    return {
        {"wood", woodMoulding, creamMat, [grey] { return canvasWeave(kTextureSize, 601, grey, 0.5, 5); }},
        {"film", filmStrip, filmBase, [grey] { return grainPlate(kTextureSize, 602, 0.2, 1.0, 0.0); }},
        {"white", whiteBorder, whiteMat, [grey] { return paper(kTextureSize, 603, grey, 0.5); }},
    };
}

}  // namespace

std::vector<PackPicture> framePictures() {
    std::vector<PackPicture> pictures;
    for (const FrameDesign& design : frameDesigns()) {
        const std::string name = design.name;
        const FrameStyle border = design.border;
        pictures.push_back(framePicture(name + ".png", [border] {
            const cv::Size size = kTextureSize;
            const double depth = kSingleDepth * std::min(size.width, size.height);
            return drawBorder(size, depth, true, true, true, true, border);
        }));
        addPieces(pictures, name, border);
        addPieces(pictures, name + "_a", design.mat);
        const std::function<cv::Mat()> texture = design.matTexture;
        pictures.push_back(framePicture(name + "_a_tt.png", [texture] {
            cv::Mat colour = texture();
            // the texture bites harder toward the outside of the mat
            cv::Mat cover = radialFalloff(colour.size(), 0.5, 0.5, 0.2, 1.0);
            return Drawing{colour, cv::Mat(1.0 - cover * 0.4)};
        }));
    }
    return pictures;
}

}  // namespace cli::pack
