// The tone curves of the signature looks, (x, y) on the 0..1 scale, each
// list in the order its points are appended.
#include "looks/signature_data.h"

namespace lumetra {

namespace {

// Glimmer.
const CurvePointSet kG1{{{0, 0.0235f}, {0.4f, 0.498f}, {0.6156f, 0.7411f}, {0.9294f, 1}},
                        {{0, 0.0274f}, {0.1843f, 0.2352f}, {0.4f, 0.6117f}, {0.6588f, 0.8705f}, {0.9568f, 1}},
                        {{0.0156f, 0.1882f}, {0.3098f, 0.5294f}, {0.7019f, 0.6823f}, {1, 0.9568f}}};
const CurvePointSet kG2{
    {{0, 0.1529f}, {0.1019f, 0.196f}, {0.2823f, 0.2784f}, {0.4705f, 0.4235f}, {0.6666f, 0.6235f}, {0.945f, 0.9098f}},
    {{0, 0.1764f}, {0.1137f, 0.2431f}, {0.4431f, 0.4078f}, {0.6588f, 0.6431f}, {0.8509f, 0.8392f}, {1, 0.9921f}},
    {{0, 0.1647f}, {0.4627f, 0.5215f}, {0.7568f, 0.6823f}, {1, 0.8627f}}};
const CurvePointSet kG3{{{0.2235f, 0}, {0.4078f, 0.2352f}, {0.6f, 0.4862f}, {1, 0.9882f}},
                        {{0.1294f, 0.0078f}, {0.5882f, 0.5254f}, {1, 1}},
                        {{0.1294f, 0}, {1, 1}}};
const CurvePointSet kG4{{{0, 0}, {0.3098f, 0.3098f}, {0.7176f, 0.7803f}, {0.9803f, 1}},
                        {{0.0039f, 0}, {0.4901f, 0.5176f}, {0.6627f, 0.7294f}, {1, 1}},
                        {{0.0196f, 0.0156f}, {0.4705f, 0.498f}, {0.7333f, 0.8078f}, {0.9686f, 1}}};

// Kailani. K4's blue list is not in ascending x (0.2509 comes before
// 0.196); it is kept that way, and the spline makes of it what it does.
const CurvePointSet kK0{{{0.0549f, 0.0235f}, {0.3725f, 0.2823f}, {0.6117f, 0.4823f}, {0.8274f, 0.6549f}, {1, 0.8313f}},
                        {{0.0392f, 0.0078f}, {0.6117f, 0.4784f}, {1, 0.8196f}},
                        {{0.0509f, 0}, {1, 0.6274f}}};
const CurvePointSet kK1{{{0.0235f, 0}, {0.2588f, 0.3137f}, {0.7176f, 0.8588f}, {0.949f, 1}},
                        {{0.0235f, 0}, {0.298f, 0.3333f}, {0.6235f, 0.7568f}, {0.9529f, 1}},
                        {{0.0196f, 0.0078f}, {0.2549f, 0.3607f}, {0.7019f, 0.8588f}, {0.9294f, 1}}};
const CurvePointSet kK2{{{0.0313f, 0}, {1, 1}},
                        {{0.0156f, 0}, {1, 1}},
                        {{0.0117f, 0}, {0.2509f, 0.2901f}, {0.5686f, 0.6156f}, {1, 1}}};
const CurvePointSet kK3{
    {{0.0196f, 0.0078f}, {0.1607f, 0.1529f}, {0.4509f, 0.5333f}, {0.647f, 0.8196f}, {0.9176f, 1}},
    {{0.0196f, 0.0039f}, {0.3607f, 0.4f}, {0.6f, 0.7647f}, {0.8862f, 1}},
    {{0.0392f, 0.0274f}, {0.3019f, 0.3254f}, {0.5372f, 0.6705f}, {0.898f, 1}}};
const CurvePointSet kK4{{{0.047f, 0}, {0.2274f, 0.1725f}, {0.5372f, 0.4901f}, {1, 1}},
                        {{0.0392f, 0}, {1, 1}},
                        {{0, 0}, {0.2509f, 0.2901f}, {0.196f, 0.2588f}, {0.4823f, 0.5686f}, {0.9372f, 1}}};
const CurvePointSet kK5{{{0, 0}, {0.4313f, 0.4039f}, {1, 0.949f}},
                        {{0.0078f, 0}, {0.4784f, 0.4588f}, {1, 0.945f}},
                        {{0.0078f, 0}, {1, 0.8745f}}};
const CurvePointSet kK6{{{0, 0}, {1, 0.9372f}}, {{0, 0}, {1, 0.9372f}}, {{0.0078f, 0}, {1, 0.8392f}}};

// Beattle. The red lists of B1 and B4 are flat at the top of the scale.
const CurvePointSet kB0{{{0, 0.2078f}, {0.149f, 0.3529f}, {0.4862f, 0.6235f}, {1, 1}},
                        {{0, 0.0431f}, {0.0862f, 0.1686f}, {0.4705f, 0.5882f}, {1, 1}},
                        {{0.0274f, 0.4f}, {0.4274f, 0.6274f}, {0.8078f, 0.7725f}}};
const CurvePointSet kB1{{{0, 1}, {1, 1}},
                        {{0, 0.196f}, {0.1411f, 0.3098f}, {0.4f, 0.647f}, {0.7294f, 1}},
                        {{0, 0.2f}, {0.2666f, 0.2784f}, {0.4901f, 0.4901f}, {0.7294f, 0.7294f}, {1, 1}}};
const CurvePointSet kB2{{{0.0078f, 0}, {0.5411f, 0.4549f}, {1, 0.847f}},
                        {{0.0235f, 0}, {1, 0.7058f}},
                        {{0.0431f, 0}, {1, 0.5137f}}};
const CurvePointSet kB3{{{0, 0}, {0.4313f, 0.4039f}, {1, 0.949f}},
                        {{0.0078f, 0}, {0.4784f, 0.4588f}, {1, 0.945f}},
                        {{0.0078f, 0}, {1, 0.8745f}}};
const CurvePointSet kB4{{{0, 1}, {1, 1}},
                        {{0, 0.2f}, {0.4627f, 0.7254f}, {0.7529f, 1}},
                        {{0, 0.2f}, {0.1254f, 0.2235f}, {0.7529f, 0.4f}, {0.8901f, 0.4f}, {1, 0.4f}}};

// Johnny. J2's green list is its red list.
const CurvePointSet kJ1{
    {{0, 0}, {0.2862f, 0.1882f}, {0.4941f, 0.5137f}, {0.6745f, 0.7843f}, {0.8901f, 1}},
    {{0.0705f, 0.0196f}, {0.2901f, 0.2078f}, {0.4901f, 0.5098f}, {0.6509f, 0.7529f}, {0.8784f, 0.9843f}},
    {{0.0196f, 0}, {0.1411f, 0.2156f}, {0.4274f, 0.5294f}, {0.7058f, 0.7254f}, {0.9294f, 1}}};
const CurvePointSet kJ2{{{0, 0.0156f}, {0.1725f, 0.2274f}, {0.5607f, 0.6156f}, {1, 0.996f}},
                        {{0, 0.0156f}, {0.1725f, 0.2274f}, {0.5607f, 0.6156f}, {1, 0.996f}},
                        {{0.1098f, 0}, {0.2313f, 0.1215f}, {0.8078f, 0.8588f}, {0.9058f, 1}}};
const CurvePointSet kJ3{{{0, 0}, {0.4313f, 0.4039f}, {1, 0.949f}},
                        {{0.0078f, 0}, {0.4784f, 0.4588f}, {1, 0.945f}},
                        {{0.0078f, 0}, {1, 0.8745f}}};

}  // namespace

CurvePointSet signaturePoints(SignatureCurve set) {
    switch (set) {
        case SignatureCurve::g1: return kG1;
        case SignatureCurve::g2: return kG2;
        case SignatureCurve::g3: return kG3;
        case SignatureCurve::g4: return kG4;
        case SignatureCurve::k0: return kK0;
        case SignatureCurve::k1: return kK1;
        case SignatureCurve::k2: return kK2;
        case SignatureCurve::k3: return kK3;
        case SignatureCurve::k4: return kK4;
        case SignatureCurve::k5: return kK5;
        case SignatureCurve::k6: return kK6;
        case SignatureCurve::b0: return kB0;
        case SignatureCurve::b1: return kB1;
        case SignatureCurve::b2: return kB2;
        case SignatureCurve::b3: return kB3;
        case SignatureCurve::b4: return kB4;
        case SignatureCurve::j1: return kJ1;
        case SignatureCurve::j2: return kJ2;
        case SignatureCurve::j3: return kJ3;
    }
    return {};
}

CurveLutSet signatureLuts(SignatureCurve set) { return buildCurveLutSet(signaturePoints(set)); }

}  // namespace lumetra
