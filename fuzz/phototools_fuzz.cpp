// The photo tools with random settings: setters (sliders in and far out of
// range, raw field values), transforms, 8- and 16-bit sources, a second
// picture of matching or mismatched type, destinations of any size; then
// ptApplyMap, the histogram and its drawing, the temperature pick.
#include <cstring>

#include "core/image.h"
#include "fuzz_input.h"
#include "lumetra.h"

namespace {

using lumetra::OwnedImage;
using lumetra::fuzz::Input;

OwnedImage makeSource(Input& in, int width, int height, bool deep) {
    return lumetra::fuzz::makePicture(in, width, height, deep ? IPL_DEPTH_16U : IPL_DEPTH_8U, 3);
}

void applySetters(Input& in, ColorMap* m) {
    const int count = in.range(0, 12);
    for (int k = 0; k < count; ++k) {
        switch (in.byte() % 16) {
            case 0: ptAdjustColorGlobalSP(m, in.mostly(30, 400), in.mostly(0, 150)); break;
            case 1: {
                int hue[12], sat[12], light[12];
                for (int i = 0; i < 12; ++i) hue[i] = in.mostly(0, 120), sat[i] = in.mostly(0, 120), light[i] = in.mostly(0, 120);
                ptAdjustColor(m, hue, sat, light);
                break;
            }
            case 2: ptTechnicolor(m, in.byte() / 200.0f, in.byte() / 200.0f, in.byte() / 200.0f, in.byte() / 200.0f,
                                  in.byte() / 200.0f, static_cast<float>(in.int32())); break;
            case 3: ptBlend(m, in.mostly(50, 120)); break;
            case 4: ptLensCorrection(m, in.mostly(0, 150), in.mostly(0, 1200)); break;
            case 5: ptAberration(m, in.mostly(0, 3000), in.mostly(0, 3000)); break;
            case 6: ptBrightnessSP(m, in.mostly(0, 120)); break;
            case 7: ptRealExposure(m, in.mostly(0, 600)); break;
            case 8: ptExposureSP(m, in.mostly(0, 120)); break;
            case 9: ptLightDarkSP(m, in.mostly(0, 120), in.mostly(0, 120)); break;
            case 10: ptContrastSP(m, in.mostly(0, 120)); break;
            case 11: ptWhiteBlackPoint(m, in.mostly(200, 60), in.mostly(20, 60)); break;
            case 12: ptWhiteBalanceSP(m, in.mostly(5000, 6000), in.byte() / 50.0); break;
            case 13: {
                double x[6], y[6];
                const int n = in.range(0, 6);
                for (int i = 0; i < n; ++i) x[i] = in.byte() / 255.0, y[i] = in.byte() / 200.0;
                int curve[PT_CURVE_SIZE];
                ptDrawCurve(n, x, y, curve);
                ptApplyCurveSP(m, curve);
                break;
            }
            case 14: {  // a host writing fields directly
                const size_t offset = in.int32() % (sizeof(ColorMap) - 4) & ~size_t{3};
                const int32_t value = in.int32();
                std::memcpy(reinterpret_cast<char*>(m) + offset, &value, 4);
                break;
            }
            default: m->adjustFlags = in.byte() % 9; break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const int width = in.range(1, 24), height = in.range(1, 24);
    const bool deep = in.byte() % 4 == 0;
    OwnedImage src = makeSource(in, width, height, deep);
    OwnedImage src2 = makeSource(in, in.byte() % 8 == 0 ? width + 1 : width, height, in.byte() % 8 == 0 ? !deep : deep);
    OwnedImage dst = lumetra::createImage(in.range(1, 30), in.range(1, 30), IPL_DEPTH_8U, 3);

    ColorMap* map = ptNewColorMap();
    applySetters(in, map);
    Transform* tf = nullptr;
    if (in.byte() % 2 == 0) {
        tf = ptNewTransform(in.mostly(0, 10), in.mostly(0, 10), in.mostly(width, 10), in.mostly(height, 10));
        ptTransformRotate(tf, in.byte() / 40.0f);
        ptTransformScale(tf, in.byte() / 64.0f, in.byte() / 64.0f);
        ptTransformShift(tf, static_cast<float>(in.mostly(0, 20)), static_cast<float>(in.mostly(0, 20)));
        if (in.byte() % 8 == 0) tf->a = in.int32(), tf->f = in.int32();
    }
    ProgressRecord progress{in.byte() % 8 != 0, 0, 0};
    ptApplyMap(src.get(), in.byte() % 2 ? src2.get() : nullptr, dst.get(), map, tf, in.byte() % 2 ? &progress : nullptr);

    Histography* h = ptCreateHistography(src.get());
    ColorMap* withHistogram = ptNewColorMapWithHistography(h);
    ptDrawHistography(h, dst.get());
    double t = 0, green = 0;
    ptGetTemp(h, &t, &green);
    if (!deep) ptPickTemp(src.get(), in.mostly(0, 30), in.mostly(0, 30), in.mostly(2, 30), &t, &green);
    int r = in.mostly(0, 300), g = in.mostly(0, 300), b = in.mostly(0, 300);
    ptTempToBalance(in.mostly(5000, 8000), in.byte() / 40.0, &r, &g, &b);
    ptBalanceToTemp(r, g, b, &t, &green);
    IplImage* turned = ptRotateClone(dst.get(), in.mostly(1, 8), in.byte() % 2);
    cvReleaseImage(&turned);

    ptDeleteColorMap(withHistogram);
    ptDeleteHistography(h);
    ptDeleteTransform(tf);
    ptDeleteColorMap(map);
    return 0;
}
