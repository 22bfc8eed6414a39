// Drawing tools of the picture pack: noise fields, grain, soft shapes and the
// designed looks (paper, canvas, scratches, light leaks, bokeh) built on them.
// Every function takes its own seed, so a picture never depends on which
// pictures were drawn before it.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

#include "cli/picture_pack.h"

namespace cli::pack {

// Sizes like the files a designer would ship.
const cv::Size kTextureSize(1024, 768);
const cv::Size kPlateSize(1024, 1024);

// --- Fields: CV_32FC1 -----------------------------------------------------

// Smooth value noise in 0..1 with about `cells` features across the width.
cv::Mat valueNoise(cv::Size size, int cells, uint64_t seed);
// Octaves of value noise, each twice as fine and half as strong, stretched to 0..1.
cv::Mat fractalNoise(cv::Size size, int cells, int octaves, uint64_t seed);
// Zero-mean grain of unit spread; blur > 0 makes the clumps coarser.
cv::Mat grainField(cv::Size size, double blur, uint64_t seed);
// 1 inside `inner`, falling smoothly to 0 at `outer`; distances are measured
// from (cx, cy) in fractions of the half diagonal, the ellipse following the
// picture's aspect.
cv::Mat radialFalloff(cv::Size size, double cx, double cy, double inner, double outer);

// --- Colour helpers -------------------------------------------------------

// A picture of one colour (B, G, R in 0..1).
cv::Mat flatColour(cv::Size size, cv::Scalar bgr);
// tone + relief * (field - 0.5) on every channel: a texture centred on tone.
cv::Mat shade(const cv::Mat& field, cv::Scalar tone, double relief);
// Luminance of a colour drawing, for alphas taken from brightness.
cv::Mat brightness(const cv::Mat& colour);
// gain * field, limited to 0..1.
cv::Mat scaledAlpha(const cv::Mat& field, double gain);

// --- Designed looks: CV_32FC3 in 0..1 -----------------------------------------

// Paper with fibres and soft clouding around `tone`.
cv::Mat paper(cv::Size size, uint64_t seed, cv::Scalar tone, double relief);
// Woven canvas threads around `tone`; `pitch` is the thread spacing in pixels.
cv::Mat canvasWeave(cv::Size size, uint64_t seed, cv::Scalar tone, double relief, int pitch);
// Blotchy grunge, concrete or rust around `tone`.
cv::Mat grunge(cv::Size size, uint64_t seed, cv::Scalar tone, double relief);
// Crumpled paper: creases lit from the top left, around `tone`.
cv::Mat crumpled(cv::Size size, uint64_t seed, cv::Scalar tone, double relief);
// Film scratches, hairs and dust, light marks on black.
cv::Mat scratchesAndDust(cv::Size size, uint64_t seed, int scratches, int specks);
// Coffee rings and water stains on a light paper.
cv::Mat stains(cv::Size size, uint64_t seed);
// Light leaks: soft coloured glows bleeding in from the picture's edges, on black.
enum class LeakPalette { warm, rose, cool, golden };
cv::Mat lightLeak(cv::Size size, uint64_t seed, LeakPalette palette);
// Out-of-focus highlights: soft discs of light, on black.
cv::Mat bokeh(cv::Size size, uint64_t seed, int discs, LeakPalette palette);
// Star-like sparkles with short cross glints, on black.
cv::Mat sparkles(cv::Size size, uint64_t seed, int count);
// A film-grain plate around mid grey: `amount` is the spread, `blur` the
// clump size, `chroma` how much the three channels differ.
cv::Mat grainPlate(cv::Size size, uint64_t seed, double amount, double blur, double chroma);
// A smooth wash between four corner colours (top-left, top-right, bottom-left, bottom-right).
cv::Mat cornerWash(cv::Size size, cv::Scalar topLeft, cv::Scalar topRight, cv::Scalar bottomLeft,
                   cv::Scalar bottomRight);

}  // namespace cli::pack
