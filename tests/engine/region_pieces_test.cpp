// Pieces versus crops: our region rule says a destination is the window at
// (x, y) of a canvas of width x height, so a piece of the photo rendered
// with the region that places it gives the bytes of that piece of the whole
// photo rendered at once. Automatic levels are measured on the piece itself,
// so the photo is a 4 x 4 tile repeated and the piece whole tiles: piece and
// photo then share their histogram's shape and their levels. Blurs and
// high-pass steps read past a piece's edges, so the variants with them are
// left out (new_wb 4, 5, 8, noise 1, 2, noise_d 3, 4, ColorEffect reliefs).
// Frames of types 2 and 3 lay their pieces on the canvas; type 1 stretches
// its picture over the view rectangle with an origin scaled by the window's
// own size, and types 4 and 5 lay their finished border (drawn on a canvas
// of the piece's size) over the piece by a cover fit of that size, so
// neither is the crop of the whole by our rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lumetra.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

constexpr int kCanvasWidth = 24, kCanvasHeight = 16;
// The lower-right piece: it holds a frame corner, parts of two edges and
// some interior, off the vignettes' centre.
constexpr int kPieceX = 16, kPieceY = 8, kPieceSide = 8;

uint8_t tiled(int x, int y, int c) { return static_cast<uint8_t>(((x % 4) * 53 + (y % 4) * 97 + c * 31) % 256); }

// Frame pieces and pictures named ".png" come with alpha, except grain
// plates and bw_texture's overlays, which must be 3-channel. Odd sizes, so
// every layer is scaled onto the canvas.
IplImage* LUMETRA_CALL serveAny(int kind, const char* name, void*) {
    const bool alpha = kind == IMAGE_KIND_FRAME || (kind == IMAGE_KIND_TEXTURE && std::strstr(name, ".png") &&
                                                    std::strncmp(name, "ns", 2) != 0 && std::strncmp(name, "bw", 2) != 0);
    return test::makePicture(kind == IMAGE_KIND_FRAME ? 5 : 11, 7, alpha ? 4 : 3).release();
}

struct Case {
    int preset;
    const char* vignette;
    const char* frame;
};

OwnedImage render(const IplImage* src, const Case& c, EffectRegion* region) {
    OwnedImage dst = test::clonePicture(src);
    fx(const_cast<IplImage*>(src), dst.get(), c.preset, c.vignette, c.frame, serveAny, region, nullptr);
    return dst;
}

TEST(RegionPieces, APieceUnderItsRegionIsTheCropOfTheWhole) {
    const Case cases[] = {
        {0, nullptr, nullptr},     // lomo: levels, vignette
        {5, nullptr, nullptr},     // lomo2
        {16, nullptr, nullptr},    // color
        {22, nullptr, nullptr},    // color2 (HSV)
        {28, nullptr, nullptr},    // bw_color
        {33, nullptr, nullptr},    // texture, 3-channel layer
        {38, nullptr, nullptr},    // texture by the layer's alpha
        {42, nullptr, nullptr},    // texture2 (blend modes)
        {73, nullptr, nullptr},    // texture3 (mask)
        {81, nullptr, nullptr},    // bw_texture
        {83, nullptr, nullptr},    // muti_texture 1
        {84, nullptr, nullptr},    // muti_texture 2 (corner placement)
        {86, nullptr, nullptr},    // muti_texture 5
        {87, nullptr, nullptr},    // ColorEffect: no region read
        {104, nullptr, nullptr},   // vignetting2
        {118, nullptr, nullptr},   // vignetting2 with its exponent, sepia
        {119, nullptr, nullptr},   // baw: no region read
        {138, nullptr, nullptr},   // new_wb 1: no region read
        {121, nullptr, nullptr},   // glimmer
        {123, nullptr, nullptr},   // kailani
        {130, nullptr, nullptr},   // beattle
        {134, nullptr, nullptr},   // johnny
        {148, nullptr, nullptr},   // noise 3: the plate placed on the canvas
        {149, nullptr, nullptr},   // noise_d 1
        {-1, "mask.jpg", nullptr}, // the vignette stage
        {-1, nullptr, "2,0.25,wood"},
        {-1, nullptr, "3,0.25,film"},
    };
    const OwnedImage photo = test::makePicture(kCanvasWidth, kCanvasHeight, 3, 0, tiled);
    const OwnedImage piece = test::makePicture(kPieceSide, kPieceSide, 3, 5, [](int x, int y, int c) {
        return tiled(x + kPieceX, y + kPieceY, c);
    });
    for (const Case& c : cases) {
        const std::string name = c.frame ? c.frame : c.vignette ? "vignette stage" : "preset " + std::to_string(c.preset);
        const OwnedImage whole = render(photo.get(), c, nullptr);
        ASSERT_FALSE(test::samePixels(whole.get(), photo.get())) << name << ": the look did nothing";
        EffectRegion region{0, kPieceX, kPieceY, kCanvasWidth, kCanvasHeight};
        const OwnedImage part = render(piece.get(), c, &region);
        const OwnedImage crop = test::makePicture(kPieceSide, kPieceSide, 3, 0, [&](int x, int y, int ch) {
            return test::pixelAt(whole.get(), x + kPieceX, y + kPieceY)[static_cast<size_t>(ch)];
        });
        EXPECT_TRUE(test::samePixels(part.get(), crop.get())) << name;
        EXPECT_TRUE(test::paddingIntact(part.get())) << name;
    }
}

}  // namespace
}  // namespace lumetra
