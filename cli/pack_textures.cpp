// The textures, overlays, masks and grain plates the presets name (kind 0).
//
// Each picture is drawn for the way its recipe lays it over the photo: a
// layer that is screened, lightened, dodged, differenced or excluded sits on
// black (black leaves the photo as it is); one that is overlaid, soft- or
// hard-lit sits on mid grey; one that is multiplied, darkened or burnt sits on
// white. Files whose recipe reads the alpha channel have four channels with a
// meaningful alpha; the others have three.
#include <opencv2/imgproc.hpp>

#include "cli/pack_drawing.h"

namespace cli::pack {

namespace {

using Colour = std::function<cv::Mat()>;
using AlphaOf = std::function<cv::Mat(const cv::Mat& colour)>;

const cv::Scalar kGrey(0.5, 0.5, 0.5);

PackPicture colourOnly(std::string name, Colour colour) {
    return {Folder::textures, std::move(name), 3, [colour] { return Drawing{colour(), {}}; }};
}

PackPicture withAlpha(std::string name, Colour colour, AlphaOf alphaOf) {
    return {Folder::textures, std::move(name), 4, [colour, alphaOf] {
                cv::Mat drawn = colour();
                cv::Mat alpha = alphaOf(drawn);
                return Drawing{drawn, alpha};
            }};
}

// Alpha rules: from brightness (light marks on black become the only cover),
// or a cover that thickens toward the edges.
AlphaOf fromBrightness(double gain) {
    return [gain](const cv::Mat& colour) { return scaledAlpha(brightness(colour), gain); };
}
AlphaOf edgeCover(double centre, double edge) {
    return [centre, edge](const cv::Mat& colour) {
        const cv::Mat inside = radialFalloff(colour.size(), 0.5, 0.5, 0.35, 1.0);
        return cv::Mat(edge + (centre - edge) * inside);
    };
}

const cv::Size T = kTextureSize;

std::vector<PackPicture> textureLooks() {
    return {
        // "texture" 1: linear dodge then difference, so light scratches on black
        colourOnly("Texturize1_1.jpg", [] { return scratchesAndDust(T, 101, 40, 500); }),
        // "texture" 2 and 4: exclusion, so dark grunge with a cool cast
        colourOnly("Texturize1_2.jpg", [] { return grunge(T, 102, cv::Scalar(0.16, 0.11, 0.08), 0.25); }),
        // "texture" 3: colour dodge, a warm light leak on black
        colourOnly("Texturize1_3.jpg", [] { return lightLeak(T, 103, LeakPalette::warm); }),
        colourOnly("Texturize1_4.jpg", [] { return grunge(T, 104, cv::Scalar(0.22, 0.12, 0.05), 0.2); }),
        // "texture" 5: screen, then burn with the desaturated texture: light warm paper
        colourOnly("Texturize1_5.jpg", [] { return paper(T, 105, cv::Scalar(0.74, 0.84, 0.90), 0.3); }),
        // "texture" 6: laid on with its alpha: out-of-focus lights
        withAlpha("Texturize1_6.png", [] { return bokeh(T, 106, 70, LeakPalette::golden); }, fromBrightness(2.5)),
        // "texture" 7: exclusion, then the grey of the texture: dark grain with dust
        colourOnly("Texturize1_7.jpg",
                   [] {
                       return cv::Mat(grainPlate(T, 107, 0.12, 0.8, 0.0) * 0.3 +
                                      scratchesAndDust(T, 1070, 12, 300) * 0.7);
                   }),
        // "texture" 8: overlay with alpha: a canvas weave, worn in toward the edges
        withAlpha("Texturize1_8.png", [] { return canvasWeave(T, 108, kGrey, 0.5, 6); }, edgeCover(0.55, 1.0)),
        // "texture" 9: difference with alpha: scratches that only cover where drawn
        withAlpha("Texturize1_9.png", [] { return scratchesAndDust(T, 109, 30, 400); }, fromBrightness(1.4)),
        colourOnly("Texturize1_10.png", [] { return grunge(T, 110, cv::Scalar(0.06, 0.10, 0.16), 0.22); }),
        withAlpha("Texturize1_11.png", [] { return lightLeak(T, 111, LeakPalette::rose); }, fromBrightness(1.6)),
    };
}

// "texture2": each flattened and blended by name; the comment gives the mode.
std::vector<PackPicture> blendedTextures() {
    return {
        colourOnly("Texturize2_1.jpg", [] { return paper(T, 201, kGrey, 0.35); }),                      // overlay 100
        colourOnly("Texturize2_2.jpg", [] { return stains(T, 202); }),                                  // darken 50
        colourOnly("Texturize2_3.jpg", [] { return lightLeak(T, 203, LeakPalette::warm); }),            // screen 100
        colourOnly("Texturize2_4.jpg", [] { return canvasWeave(T, 204, kGrey, 0.3, 5); }),              // overlay 100
        colourOnly("Texturize2_5.jpg", [] { return grunge(T, 205, kGrey, 0.5); }),                      // overlay 65
        colourOnly("Texturize2_6.jpg", [] { return scratchesAndDust(T, 206, 6, 700); }),                // lighten 50
        colourOnly("Texturize2_7.jpg", [] { return lightLeak(T, 207, LeakPalette::rose); }),            // screen 65
        colourOnly("Texturize2_8.jpg", [] { return bokeh(T, 208, 90, LeakPalette::golden); }),          // screen 100
        colourOnly("Texturize2_9.jpg", [] { return grunge(T, 209, kGrey, 0.8); }),                      // overlay 50
        colourOnly("Texturize2_10.jpg", [] { return paper(T, 210, kGrey, 0.25); }),                     // overlay 100
        colourOnly("Texturize2_11.jpg",                                                                  // overlay 80
                   [] {
                       const cv::Mat falloff = radialFalloff(T, 0.5, 0.5, 0.3, 1.1);
                       cv::Mat vignette;
                       cv::merge(std::vector<cv::Mat>{falloff, falloff, falloff}, vignette);
                       return cv::Mat(grunge(T, 211, kGrey, 0.3) * 0.5 + vignette * 0.45 + cv::Scalar::all(0.05));
                   }),
        colourOnly("Texturize2_12.jpg", [] { return crumpled(T, 212, kGrey, 1.0); }),                   // overlay 30
        colourOnly("Texturize2_13.jpg", [] { return grunge(T, 213, cv::Scalar(0.25, 0.45, 0.65), 0.9); }),  // overlay 30
        colourOnly("Texturize2_14.jpg", [] { return crumpled(T, 214, cv::Scalar(0.6, 0.5, 0.42), 1.0); }),  // overlay 30
        colourOnly("Texturize2_15.jpg", [] { return grainPlate(T, 215, 0.15, 1.4, 0.1); }),              // overlay 40
        colourOnly("Texturize2_16.jpg", [] { return canvasWeave(T, 216, kGrey, 0.7, 9); }),             // overlay 40
        colourOnly("Texturize2_17.jpg",                                                                  // overlay 20
                   [] {
                       return cv::Mat(cornerWash(T, cv::Scalar(0.9, 0.3, 0.2), cv::Scalar(0.2, 0.8, 1.0),
                                                 cv::Scalar(0.3, 0.9, 0.4), cv::Scalar(0.8, 0.2, 0.9)) *
                                          0.7 +
                                      grunge(T, 217, kGrey, 0.6) * 0.3);
                   }),
        colourOnly("Texturize2_18.jpg", [] { return paper(T, 218, kGrey, 0.6); }),                      // hard_light 30
        colourOnly("Texturize2_19.jpg", [] { return lightLeak(T, 219, LeakPalette::cool); }),           // screen 80
        colourOnly("Texturize2_20.jpg",                                                                  // overlay 20
                   [] {
                       return cv::Mat(cornerWash(T, cv::Scalar(0.6, 0.55, 0.2), cv::Scalar(0.3, 0.5, 0.75),
                                                 cv::Scalar(0.3, 0.5, 0.75), cv::Scalar(0.6, 0.55, 0.2)) *
                                          0.6 +
                                      grunge(T, 220, kGrey, 0.8) * 0.4);
                   }),
        colourOnly("Texturize2_21.jpg", [] { return stains(T, 221); }),                                 // multiply 40
        colourOnly("Texturize2_22.jpg", [] { return crumpled(T, 222, kGrey, 0.8); }),                   // overlay 30
        colourOnly("Texturize2_23.jpg", [] { return bokeh(T, 223, 60, LeakPalette::warm); }),           // color_dodge 75
        colourOnly("Texturize2_24.jpg", [] { return lightLeak(T, 224, LeakPalette::golden); }),         // lighten 80
        colourOnly("Texturize2_25.jpg", [] { return bokeh(T, 225, 80, LeakPalette::cool); }),           // lighten 60
        colourOnly("Texturize2_26.jpg", [] { return scratchesAndDust(T, 226, 20, 900); }),              // lighten 45
        colourOnly("Texturize2_27.jpg", [] { return lightLeak(T, 227, LeakPalette::rose); }),           // lighten 55
        colourOnly("Texturize2_28.jpg", [] { return bokeh(T, 228, 35, LeakPalette::rose); }),           // lighten 30
        colourOnly("Texturize2_29.jpg", [] { return lightLeak(T, 229, LeakPalette::golden); }),         // lighten 40
        colourOnly("Texturize2_30.jpg", [] { return sparkles(T, 230, 120); }),                          // lighten 40
        colourOnly("Texturize2_31.jpg", [] { return lightLeak(T, 231, LeakPalette::warm); }),           // lighten 50
        colourOnly("Texturize2_32.jpg", [] { return paper(T, 232, kGrey, 0.5); }),                      // overlay 30
        colourOnly("Texturize2_33.jpg", [] { return grunge(T, 233, kGrey, 0.18); }),                    // overlay 100
        colourOnly("Texturize2_34.jpg", [] { return canvasWeave(T, 234, kGrey, 0.45, 7); }),            // overlay 50
    };
}

// "vtg.png" is a mask (its green channel picks between two looks: white the
// centre look, black the edge look) and a colour-burn layer: a soft,
// slightly off-centre vignette with a little mottling.
cv::Mat vintageMask() {
    const cv::Mat falloff = radialFalloff(T, 0.52, 0.47, 0.25, 1.05);
    const cv::Mat mottle = fractalNoise(T, 4, 4, 301);
    cv::Mat mask = falloff * 0.92 + mottle * 0.08;
    cv::Mat colour;
    cv::merge(std::vector<cv::Mat>{mask, mask, mask}, colour);
    return colour;
}

std::vector<PackPicture> masksAndMixes() {
    return {
        colourOnly("vtg.png", vintageMask),
        // "bw_texture": overlay on a grey picture; a neutral grey keeps it grey
        colourOnly("bw1.png", [] { return paper(T, 311, kGrey, 0.45); }),
        colourOnly("bw2.png", [] { return crumpled(T, 312, kGrey, 0.7); }),
        // "muti_texture" 1: soft light (alpha), overlay (alpha), hard light
        withAlpha("Muti_texture1-1.png", [] { return lightLeak(T, 321, LeakPalette::warm); }, fromBrightness(1.8)),
        withAlpha("Muti_texture1-2.png", [] { return grunge(T, 322, kGrey, 0.6); }, edgeCover(0.3, 0.9)),
        colourOnly("Muti_texture1-3.jpg", [] { return paper(T, 323, kGrey, 0.4); }),
        // "muti_texture" 2: a sun flare set into the top-right corner; its
        // border is clear because the sampler repeats it over the rest
        withAlpha("Muti_texture2-1.png",
                  [] { return cv::Mat(flatColour(cv::Size(512, 512), cv::Scalar(0.55, 0.85, 1.0))); },
                  [](const cv::Mat& colour) {
                      cv::Mat glow = radialFalloff(colour.size(), 0.5, 0.5, 0.0, 0.62);
                      return cv::Mat(glow.mul(glow) * 0.85);
                  }),
        colourOnly("Muti_texture2-2.jpg", [] { return paper(T, 332, kGrey, 0.2); }),
        // "muti_texture" 4: screen, vivid light, multiply; one size
        colourOnly("Muti_texture4-1.jpg", [] { return stains(T, 341); }),
        colourOnly("Muti_texture4-2.jpg", [] { return lightLeak(T, 342, LeakPalette::golden); }),
        colourOnly("Muti_texture4-3.jpg", [] { return grunge(T, 343, kGrey, 0.25); }),
        // "muti_texture" 5: five layers with alpha, one size: colour burn,
        // screen, exclusion, overlay, then the first laid on as it is
        withAlpha("Muti_texture5-1.png", [] { return paper(T, 351, cv::Scalar(0.8, 0.86, 0.9), 0.3); },
                  edgeCover(0.25, 0.75)),
        withAlpha("Muti_texture5-2.png", [] { return lightLeak(T, 352, LeakPalette::rose); }, fromBrightness(1.5)),
        withAlpha("Muti_texture5-3.png", [] { return grunge(T, 353, cv::Scalar(0.3, 0.15, 0.08), 0.3); },
                  edgeCover(0.2, 0.6)),
        withAlpha("Muti_texture5-4.png", [] { return crumpled(T, 354, kGrey, 0.8); }, edgeCover(0.5, 1.0)),
        withAlpha("Muti_texture5-5.png", [] { return scratchesAndDust(T, 355, 25, 600); }, fromBrightness(1.2)),
    };
}

std::vector<PackPicture> signaturePictures() {
    return {
        // glimmer: I1 laid on by its alpha, I2 overlaid at 10 %, I3 the finish
        withAlpha("Glimmer_1.png",
                  [] { return cv::Mat(sparkles(T, 401, 80) + lightLeak(T, 402, LeakPalette::golden) * 0.8); },
                  fromBrightness(0.9)),
        colourOnly("Glimmer_2.jpg", [] { return paper(T, 403, kGrey, 0.9); }),
        colourOnly("Glimmer_Gina.jpg", [] { return paper(T, 404, cv::Scalar(0.82, 0.9, 0.97), 0.2); }),  // linear burn
        withAlpha("Glimmer_Slide.png",
                  [] {
                      return cornerWash(T, cv::Scalar(0.85, 0.55, 0.95), cv::Scalar(0.6, 0.75, 0.95),
                                        cv::Scalar(0.95, 0.8, 0.5), cv::Scalar(0.9, 0.5, 0.7));
                  },
                  edgeCover(0.35, 0.9)),
        withAlpha("Glimmer_Freddie.png",
                  [] {
                      return cv::Mat(cornerWash(T, cv::Scalar(0.3, 0.6, 0.8), kGrey, kGrey,
                                                cv::Scalar(0.7, 0.45, 0.3)) *
                                         0.7 +
                                     grunge(T, 405, kGrey, 0.5) * 0.3);
                  },
                  edgeCover(0.3, 0.8)),
        // kailani: I1 soft light by alpha; slide by linear dodge; monochrome overlay
        withAlpha("Kailani_1.png",
                  [] {
                      return cornerWash(T, cv::Scalar(0.6, 0.85, 1.0), cv::Scalar(0.5, 0.65, 0.8),
                                        cv::Scalar(0.45, 0.45, 0.5), cv::Scalar(0.5, 0.35, 0.3));
                  },
                  [](const cv::Mat& colour) {  // strongest where the light comes from
                      return cv::Mat(radialFalloff(colour.size(), 0.1, 0.1, 0.0, 1.4) * 0.7 + 0.2);
                  }),
        withAlpha("Kailani_Slide.png", [] { return lightLeak(T, 411, LeakPalette::warm); }, fromBrightness(1.6)),
        colourOnly("Kailani_Monochrome.png", [] { return grainPlate(T, 412, 0.16, 1.0, 0.0); }),
        // beattle: I1 screened at full strength, so a dark paper; I2 mostly a mask
        colourOnly("Beattle.jpg", [] { return paper(T, 421, cv::Scalar(0.10, 0.12, 0.15), 0.12); }),
        withAlpha("Beattle_blank.png", [] { return flatColour(T, cv::Scalar(0.9, 0.95, 0.97)); },
                  edgeCover(0.0, 0.8)),
        withAlpha("Beattle_Gina.png", [] { return lightLeak(T, 422, LeakPalette::rose); }, fromBrightness(1.5)),
        withAlpha("Beattle_blaky1.png", [] { return grunge(T, 423, kGrey, 0.6); },
                  [](const cv::Mat& colour) { return scaledAlpha(brightness(colour) - 0.3, 1.2); }),
        colourOnly("Beattle_blaky2.png", [] { return grainPlate(T, 424, 0.14, 0.8, 0.0); }),
        withAlpha("Beattle_Floaty.png", [] { return bokeh(T, 425, 40, LeakPalette::cool); }, fromBrightness(2.0)),
        withAlpha("Beattle_Monochrome1.png", [] { return flatColour(T, cv::Scalar(1.0, 1.0, 1.0)); },
                  edgeCover(0.7, 0.1)),
        colourOnly("Beattle_Monochrome2.png", [] { return grainPlate(T, 426, 0.18, 1.2, 0.0); }),
        // johnny: two soft-light textures, then a monochrome grain by its alpha
        colourOnly("Johnny_1.jpg",
                   [] {
                       return cv::Mat(cornerWash(T, cv::Scalar(0.7, 0.7, 0.7), kGrey, kGrey,
                                                 cv::Scalar(0.3, 0.3, 0.3)) *
                                          0.6 +
                                      paper(T, 431, kGrey, 0.5) * 0.4);
                   }),
        colourOnly("Johnny_2.jpg", [] { return paper(T, 432, kGrey, 0.4); }),
        withAlpha("Johnny_Monochrome.png", [] { return grainPlate(T, 433, 0.2, 1.0, 0.0); }, edgeCover(0.5, 0.95)),
    };
}

// "noise" and "noise_d": film-grain plates around mid grey, fine to coarse.
std::vector<PackPicture> grainPlates() {
    const cv::Size P = kPlateSize;
    return {
        colourOnly("ns1.jpg", [P] { return grainPlate(P, 501, 0.09, 0.0, 0.15); }),
        colourOnly("ns2.png", [P] { return grainPlate(P, 502, 0.10, 0.9, 0.1); }),
        colourOnly("ns3.jpg", [P] { return grainPlate(P, 503, 0.12, 1.6, 0.2); }),
        colourOnly("nsd1a.png", [P] { return grainPlate(P, 511, 0.08, 0.0, 0.0); }),
        colourOnly("nsd1b.jpg", [P] { return grainPlate(P, 512, 0.10, 1.4, 0.1); }),
        colourOnly("nsd2a.png", [P] { return grainPlate(P, 521, 0.07, 0.6, 0.0); }),
        colourOnly("nsd2b.jpg", [P] { return grainPlate(P, 522, 0.09, 1.0, 0.35); }),
        colourOnly("nsd3a.jpg", [P] { return grainPlate(P, 531, 0.08, 0.8, 0.1); }),
        colourOnly("nsd3b.png", [P] { return grainPlate(P, 532, 0.22, 2.2, 0.0); }),
        colourOnly("nsd4a.jpg", [P] { return grainPlate(P, 541, 0.10, 1.3, 0.0); }),
        colourOnly("nsd4b.png",
                   [P] {
                       return cv::Mat(grainPlate(P, 542, 0.09, 0.0, 0.1) -
                                      scratchesAndDust(P, 543, 4, 300) * 0.5);
                   }),
    };
}

}  // namespace

std::vector<PackPicture> texturePictures() {
    std::vector<PackPicture> all;
    for (auto&& group : {textureLooks(), blendedTextures(), masksAndMixes(), signaturePictures(), grainPlates()})
        all.insert(all.end(), group.begin(), group.end());
    return all;
}

}  // namespace cli::pack
