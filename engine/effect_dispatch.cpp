// AppplyEffect: single effects by number, with pictures the host has loaded
// itself. Family 1 picks a look by index, family 2 lays a vignette mask,
// family 3 a stretched frame.
#include "core/image.h"
#include "looks/routines.h"
#include "pixel/routines.h"

namespace lumetra {

namespace {

constexpr float kVignetteLowClip = 0.1f;
constexpr float kVignetteHighClip = 0.2f;
constexpr float kVignetteSaturation = 1.3f;
constexpr float kSepiaVignetteLowClip = 0.01f;

struct EffectCall {
    const IplImage* src;
    IplImage* dst;
    const IplImage* picture;
    const EffectRegion* region;
};

using PictureRoutine = void (*)(const IplImage*, IplImage*, const IplImage*, int, const EffectRegion*);

// The indexes that lay the host's picture do nothing without one.
void withPicture(const EffectCall& c, PictureRoutine routine, int type) {
    if (c.picture) routine(c.src, c.dst, c.picture, type, c.region);
}

void sepiaVignette(const EffectCall& c) {
    applyVignetting2(c.src, c.dst, -100, -100, kSepiaVignetteLowClip, kVignetteHighClip, 0.0f, c.region);
}

// Index 17: the dark vignette toned sepia. The sepia runs only where the
// vignette did, so a refused call leaves dst as it was.
void sepiaVignetteToned(const EffectCall& c) {
    if (!lookPicturesUsable(c.src, c.dst)) return;
    sepiaVignette(c);
    applySepia(c.dst);
}

// Where each index of family 1 leads.
void runLookByIndex(const EffectCall& c, int index) {
    const auto in = [index](int first, int last) { return index >= first && index <= last; };
    if (in(1, 5)) return applyLomo(c.src, c.dst, index, c.region);
    if (in(6, 7)) return applyLomo2(c.src, c.dst, index - 5, c.region);
    if (index == 17) return sepiaVignetteToned(c);
    if (index == 18) return sepiaVignette(c);
    if (in(19, 23)) return applyColor(c.src, c.dst, index - 18, c.region);
    if (in(24, 26)) return applyLomo2(c.src, c.dst, index - 21, c.region);
    if (index == 27) return applyColorEffect(c.src, c.dst, 11, c.region);
    if (index == 28) return applyColorEffect(c.src, c.dst, 13, c.region);
    if (in(29, 32)) return applyColorEffect(c.src, c.dst, index - 26, c.region);
    if (index == 33) return applyColorEffect(c.src, c.dst, 8, c.region);
    if (index == 34) return applyColorEffect(c.src, c.dst, 15, c.region);
    if (index == 35) return applyColorEffect(c.src, c.dst, 12, c.region);
    if (index == 36) return applyColorEffect(c.src, c.dst, 7, c.region);
    if (in(37, 38)) return applyColorEffect(c.src, c.dst, index - 28, c.region);
    if (index == 39) return applyColorEffect(c.src, c.dst, 14, c.region);
    if (in(40, 44)) return applyBwColor(c.src, c.dst, index - 39, c.region);
    if (in(45, 46)) return withPicture(c, applyBwTexture, index - 44);
    if (in(64, 69)) return withPicture(c, applyTexture, index - 63);
    if (in(70, 71)) return withPicture(c, applyTexture, index - 62);
    if (in(77, 81)) return applyColor2(c.src, c.dst, index - 76, c.region);
    if (index == 82) return applyLomo2(c.src, c.dst, 6, c.region);
    if (index == 83) return applyLomo2(c.src, c.dst, 17, c.region);
    if (index == 84) return withPicture(c, applyTexture3, 2);
    if (index == 85) return withPicture(c, applyTexture3, 5);
    if (index == 86) return applyColor2(c.src, c.dst, 9, c.region);
    if (index == 87) return applyLomo2(c.src, c.dst, 16, c.region);
    if (index == 88) return applyLomo2(c.src, c.dst, 18, c.region);
    if (index == 89) return applyLomo2(c.src, c.dst, 19, c.region);
    if (index == 90) return withPicture(c, applyTexture3, 6);
    if (index == 91) return applyColor2(c.src, c.dst, 10, c.region);
    if (index == 92) return applyLomo2(c.src, c.dst, 20, c.region);
    if (index == 93) return withPicture(c, applyTexture3, 7);
    // 8-16, 47-63, 72-76 and everything outside 1-93 select nothing.
}

}  // namespace

}  // namespace lumetra

extern "C" LUMETRA_API int LUMETRA_CALL AppplyEffect(IplImage* src, IplImage* dst, IplImage* picture, int /*unused*/,
                                                    int family, int index, EffectRegion* region) {
    using namespace lumetra;
    if (!src || !dst) return 0;
    const EffectCall call{src, dst, picture, region};
    try {
        switch (family) {
            case 1:
                runLookByIndex(call, index);
                break;
            case 2:  // no mask: the radial falloff
                applyVignetting(src, dst, picture, kVignetteLowClip, kVignetteHighClip, kVignetteSaturation, region);
                break;
            case 3:
                applyFrame(src, dst, picture, region);
                break;
            default:
                break;
        }
    } catch (...) {
        // Out of memory inside OpenCV or the standard library: nothing more
        // is done, and nothing may cross the C boundary.
    }
    return 1;
}
