/*
 * lumetra.h - the public C interface of the Lumetra photo-effect library.
 *
 * Usable from C and C++. Pictures are OpenCV IplImage headers (8-bit,
 * interleaved B,G,R or B,G,R,A, rows widthStep bytes apart); this header only
 * forward-declares the struct, so a C host needs no OpenCV C++ headers.
 *
 * General rules for every export:
 *  - The caller owns every picture and record it passes in. Pictures handed
 *    out by the loader callback become the library's and are released with
 *    cvReleaseImage once the command that asked for them has finished.
 *  - Nothing is reported: calls that cannot be carried out (null or
 *    non-8-bit pictures, mismatched sizes, unusable regions) leave the
 *    destination untouched and return their documented "nothing done" value.
 *  - The library starts no threads and keeps no state between calls.
 *
 * Threads: any export may run on several threads at once, as long as no
 * picture or record that one call writes is used by another call at the
 * same time. Calls on different pictures and records are always safe.
 * Several calls may read the same source, layer, second picture, ColorMap,
 * Transform or Histography together: a call never writes what it only
 * reads (fx and AppplyTexture2 leave src alone unless it is dst as well,
 * ptApplyMap leaves map and tf alone). What a call writes - its destination,
 * the map a setter changes, the transform being composed, the values a
 * temperature call fills in - belongs to that call until it returns. The
 * library's tables are constants; nothing is cached between calls. The
 * loader runs on the thread that called fx, so a host that calls fx from
 * several threads hands it a loader that may be entered concurrently.
 */
#ifndef LUMETRA_H
#define LUMETRA_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(LUMETRA_BUILD)
#    define LUMETRA_API __declspec(dllexport)
#  else
#    define LUMETRA_API __declspec(dllimport)
#  endif
#  define LUMETRA_CALL __cdecl
#else
#  define LUMETRA_API __attribute__((visibility("default")))
#  define LUMETRA_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct _IplImage;

/* ------------------------------------------------------------------------
 * Shared types
 * ---------------------------------------------------------------------- */

/* Optional view rectangle. The destination is treated as the window at
 * (x, y) of a virtual picture of width x height: textures, vignettes and
 * frames are laid out on that whole picture, so a host can render a large
 * picture in pieces or a preview crop and get seamless results.
 * A null pointer means (0, 0, source width, source height). */
typedef struct EffectRegion {
    int32_t reserved; /* not read by the library */
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} EffectRegion;

/* What the library asks the loader for. */
typedef enum ImageKind {
    IMAGE_KIND_TEXTURE = 0,  /* texture or overlay named by a preset */
    IMAGE_KIND_VIGNETTE = 1, /* vignette mask */
    IMAGE_KIND_FRAME = 2     /* frame picture or frame piece */
} ImageKind;

/* The host's picture loader: (kind, bare file name, userData) -> a new
 * picture created with cvCreateImage (or cvLoadImage), or null when it has
 * none. The library takes ownership of every non-null result and releases
 * it exactly once with cvReleaseImage. The name is the one written in the
 * preset or frame specification, never a path. */
typedef struct _IplImage*(LUMETRA_CALL* ImageLoaderFn)(int kind, const char* name, void* userData);

/* ------------------------------------------------------------------------
 * Effect presets
 * ---------------------------------------------------------------------- */

/* Number of built-in presets: valid indexes are 0 .. LUMETRA_PRESET_COUNT-1. */
#define LUMETRA_PRESET_COUNT 153

/* fx: runs up to three stages on src, writing dst (which may be src):
 *   1. presetIndex >= 0: the built-in preset of that index;
 *   2. vignetteFile != NULL: a vignette mask from the loader (kind 1);
 *   3. frameSpec != NULL: a frame, "%d,%f,%s" = type, thickness, name.
 * src and dst must be 8-bit 3-channel pictures of the same size; otherwise
 * nothing is done. region is handed to every routine (NULL = whole picture);
 * userData is handed back to loadImage untouched.
 *
 * Choices where the effect scripts leave room:
 *  - presetIndex >= LUMETRA_PRESET_COUNT: the preset stage is skipped; the
 *    vignette and frame stages still run.
 *  - loadImage NULL: every picture is taken as missing (the loader is never
 *    called).
 *  - A loaded picture that is not 8-bit with 3 or 4 channels is released at
 *    once and treated as missing.
 *  - A missing picture for a command that flattens it to 3 channels
 *    (texture2, texture3, vignetting) or for the vignette stage: that command
 *    or stage is skipped, dst is left as it is. Other commands run without the
 *    picture, as a "NULL" name would.
 *  - muti_texture with more than 10 names: the names are read but nothing is
 *    loaded and the command is skipped; a negative count loads nothing.
 *  - frame2 with a count other than 8: the names are read but nothing is
 *    loaded and the command is skipped.
 *  - Frame specification: frame names longer than 127 characters (63 for a
 *    border texture) or blend numbers outside 0..19 are ignored.
 *  - Automatic levels (lomo, color, bw_color, vignetting, vignetting2 and
 *    the vignette stage): a picture whose tones span less than 5 % of the
 *    range even with nothing clipped (a flat colour) keeps its tones: the
 *    stretch is the identity and the measured range, used as saturation,
 *    is 1.
 *  - Radial vignettes on canvases (region sizes) of up to 65535 pixels a
 *    side: the distance arithmetic is widened, so nothing wraps. Where the
 *    radius would truncate to 0 it is 1; beyond a radius of 32768 pixels,
 *    where the classic integer reciprocal of R^2 would be 0, the falloff
 *    divides by R^2 exactly. Pixels placed more than 32768 pixels from the
 *    canvas centre (a window far outside its canvas) count as 32768 away.
 *  - A vignette mask that is not 8-bit, or a region of zero or negative
 *    width or height with a mask: the vignetting is skipped, dst is left
 *    as it is. */
LUMETRA_API void LUMETRA_CALL fx(struct _IplImage* src, struct _IplImage* dst, int presetIndex,
                                 const char* vignetteFile, const char* frameSpec,
                                 ImageLoaderFn loadImage, EffectRegion* region, void* userData);

/* ------------------------------------------------------------------------
 * Numeric entry points and compositing
 * ---------------------------------------------------------------------- */

/* Blend-mode names accepted by AppplyTexture2, in table order:
 * "opacity", "darken", "lighten", "multiply", "screen", "color_dodge",
 * "color_burn", "linear_dodge", "linear_burn", "overlay", "hard_light",
 * "soft_light", "vivid_light", "linear_light", "pin_light", "hard_mix",
 * "difference", "exclude", "color", "luminosity". */

/* AppplyTexture2: blends `layer` over `src` into `dst` (which may be src)
 * with the blend mode `modeName` at `opacity` percent. The layer is scaled
 * to cover the canvas (the region's width x height, or src's size) keeping
 * its aspect ratio, centred and cropped on its long axis, and sampled
 * bilinearly. The caller keeps ownership of all three pictures.
 *  - modeName is compared exactly and case-sensitively; an unknown or null
 *    name does nothing.
 *  - src: 8-bit, 3 or 4 channels; dst: at most src's size, 3 channels for a
 *    3-channel src, 4 for a 4-channel one (then alpha is accumulated: a
 *    transparent src pixel takes the layer's colour, its alpha becomes the
 *    coverage of both). layer: 8-bit, 3 or 4 channels (its alpha scales the
 *    opacity pixel by pixel), 1 to 65535 pixels on each side.
 *  - opacity is not limited to 0..100: past 100 the result is pushed beyond
 *    the blend (each channel is clamped at 0..255), below 0 away from it. A
 *    negative opacity with a 4-channel src is refused (the coverage could
 *    reach zero).
 *  - Refused, dst untouched: null or unsuitable pictures as above, and a
 *    region whose width or height is zero or negative. Regions larger than
 *    the picture and negative x, y are fine: dst is then a window of the
 *    larger canvas, and pieces rendered with matching regions join up. */
LUMETRA_API void LUMETRA_CALL AppplyTexture2(struct _IplImage* src, struct _IplImage* dst,
                                             struct _IplImage* layer, int opacity, const char* modeName,
                                             EffectRegion* region);

/* ------------------------------------------------------------------------
 * Tilt-shift
 * ---------------------------------------------------------------------- */

/* ------------------------------------------------------------------------
 * Photo adjustment tools
 * ---------------------------------------------------------------------- */

/* The photo tools collect adjustments in a ColorMap and render them in one
 * pass with ptApplyMap. Records (ColorMap, Transform, Histography) are single
 * heap blocks without pointers: the host reads them as plain structs, copies
 * them freely and releases each with its delete call. Every pointer argument
 * may be null: a setter then does nothing and returns null, an image
 * operation returns 0 (or null) and writes nothing.
 *
 * Fixed-point scales: gains Q13 (8192 = 1.0), saturation 256 = 1.0, tone
 * tables 0..1023, angles in tenths of a degree, matrices Q15. */

/* Histogram of a picture with its automatic white-balance estimate. */
typedef struct Histography {
    uint32_t pixelCount;   /* width x height of the counted picture */
    uint32_t blue[256];    /* pixels per channel value */
    uint32_t green[256];
    uint32_t red[256];
    double temperature;    /* estimated colour temperature in kelvin */
    double greenFactor;    /* estimated green (tint) factor */
} Histography;

/* The settings record. A fresh map renders a picture unchanged. */
typedef struct ColorMap {
    uint32_t adjustFlags;         /* 1 tone table, 2 per-hue, 4 blend: the render stage */
    uint32_t renderFlags;         /* 8 channel gains, 0x100 technicolor */
    uint8_t byteTables[3][256];   /* identity; carried, not used */
    uint32_t toneTable[1024];     /* composed tone curve, 0..1023 */
    int32_t colorMatrix[4][4];    /* Q15 identity; carried, not used */
    int32_t gain[3];              /* red, green, blue gains, Q13 */
    int32_t lensAmount;           /* vignetting correction, percent */
    int32_t lensRadius;           /* its radius exponent, hundredths */
    int32_t saturation;           /* global saturation, 256 = 1.0 */
    int32_t reserved;             /* not used by the renderer */
    int32_t blendOpacity;         /* percent of the second picture */
    int32_t hueRotation;          /* tenths of a degree, 0..3590 */
    int32_t technicolor[6];       /* two-colour mixing coefficients, Q15 */
    int32_t aberration[2];        /* red, blue scale corrections, 1/50000 */
    int32_t hueShift[12];         /* per-hue shift, tenths of a degree */
    int32_t hueSat[12];           /* per-hue saturation, 256 = 1.0 */
    int32_t hueLight[12];         /* per-hue lightness, Q14 */
    Histography histography;      /* copy made by ptNewColorMapWithHistography */
} ColorMap;

/* Where each destination pixel is read from: origin (x, y) of the source on
 * a canvas of width x height, and the Q15 matrix mapping a destination
 * pixel (x', y') to the source position (a x' + b y' + c, d x' + e y' + f). */
typedef struct Transform {
    int32_t x, y, width, height;
    int32_t a, b, c, d, e, f;
} Transform;

/* Lets a host follow and stop ptApplyMap: total is set to the destination
 * height, current to each row before it is rendered; clearing keepGoing
 * (from any thread) stops the rendering before the next row. */
typedef struct ProgressRecord {
    int32_t keepGoing;
    int32_t total;
    int32_t current;
} ProgressRecord;

/* Entries of a curve table filled by ptDrawCurve and read by ptApplyCurveSP. */
#define PT_CURVE_SIZE 1024

/* A new neutral map, or null when memory is short. The caller owns it. */
LUMETRA_API ColorMap* LUMETRA_CALL ptNewColorMap(void);
/* A new neutral map carrying a copy of *h (h stays the caller's; null h
 * leaves the copy zero-filled). */
LUMETRA_API ColorMap* LUMETRA_CALL ptNewColorMapWithHistography(Histography* h);
/* A new, independent copy of m (null for null m). */
LUMETRA_API ColorMap* LUMETRA_CALL ptCloneColorMap(ColorMap* m);
/* Release a ColorMap, Histography or Transform: one function under three
 * names. Null is ignored. */
LUMETRA_API void LUMETRA_CALL ptDeleteColorMap(void* p);
LUMETRA_API void LUMETRA_CALL ptDeleteHistography(void* p);
LUMETRA_API void LUMETRA_CALL ptDeleteTransform(void* p);

/* Samples the natural cubic spline through the n points (x[k], y[k]), x
 * ascending on 0..1 and y on 0..1, into out[PT_CURVE_SIZE] on 0..1023; the
 * curve is flat outside the first and last points. With n < 2 or a null x
 * or y, out becomes the identity curve; with a null out nothing is done.
 * Points that make the spline undefined (equal x values) give 0 where the
 * value is not a number. */
LUMETRA_API void LUMETRA_CALL ptDrawCurve(int n, const double* x, const double* y, int* out);
/* Composes curve (PT_CURVE_SIZE entries) after the map's tone table:
 * table[i] = curve[table[i]]. Entries outside 0..1023 are taken as the
 * nearest end. Returns m. */
LUMETRA_API ColorMap* LUMETRA_CALL ptApplyCurveSP(ColorMap* m, const int* curve);

/* Global hue rotation (degrees, any value, taken modulo 360) and saturation
 * (percent: -100 grey, 0 unchanged, +100 double). (0, 0) does nothing. */
LUMETRA_API void LUMETRA_CALL ptAdjustColorGlobalSP(ColorMap* m, int hue, int saturation);
/* Per-hue hue shift (0.4 degree steps), saturation and lightness (percent)
 * at the twelve anchors 0 red, 2 yellow, 4 green, 6 cyan, 8 blue, 10 magenta
 * and the six hues between. Returns m; null arrays do nothing. */
LUMETRA_API ColorMap* LUMETRA_CALL ptAdjustColor(ColorMap* m, const int hue[12], const int sat[12],
                                                 const int light[12]);
/* Two-colour mixing with six coefficients on 0..1; values outside are
 * limited to 0..1 (not-a-number reads as 0). Returns m. */
LUMETRA_API ColorMap* LUMETRA_CALL ptTechnicolor(ColorMap* m, float c0, float c1, float c2, float c3, float c4,
                                                 float c5);
/* Blend with the second picture of ptApplyMap at opacity percent (0 does
 * nothing). Returns m. */
LUMETRA_API ColorMap* LUMETRA_CALL ptBlend(ColorMap* m, int opacity);

/* A new transform with origin (x, y), canvas width x height and the identity
 * matrix; null when memory is short. */
LUMETRA_API Transform* LUMETRA_CALL ptNewTransform(int x, int y, int width, int height);
/* Shift by (dx, dy) pixels, rotate by angle radians, scale by (sx, sy), each
 * composed on the destination side. Matrix entries that leave the 32-bit
 * range (a scale by 0, say) are limited to it; not-a-number gives 0.
 * Each returns t. */
LUMETRA_API Transform* LUMETRA_CALL ptTransformShift(Transform* t, float dx, float dy);
LUMETRA_API Transform* LUMETRA_CALL ptTransformRotate(Transform* t, float angle);
LUMETRA_API Transform* LUMETRA_CALL ptTransformScale(Transform* t, float sx, float sy);
/* A new 8-bit 3-channel picture: src turned by quarterTurns quarter turns
 * clockwise (taken modulo 4, so -1 is 3), then flipped left to right when
 * mirror != 0. The caller releases it with cvReleaseImage. src must be 8-bit
 * with 3 or 4 channels (alpha is dropped); otherwise, or when memory is
 * short, the result is null. */
LUMETRA_API struct _IplImage* LUMETRA_CALL ptRotateClone(struct _IplImage* src, int quarterTurns, int mirror);

/* Lens vignetting correction: amount in percent (positive brightens the
 * corners, negative darkens them), radius exponent in hundredths of a stop
 * of the reference length. ptApplyMap refuses a map whose reference length
 * falls outside 1..46340 pixels. */
LUMETRA_API void LUMETRA_CALL ptLensCorrection(ColorMap* m, int amount, int radius);
/* Lateral chromatic aberration: red and blue are read (1 + v/50000) times
 * as far from the centre as green. Returns m. */
LUMETRA_API ColorMap* LUMETRA_CALL ptAberration(ColorMap* m, int red, int blue);

/* Tone setters. Each composes a curve into the tone table (ptRealExposure
 * multiplies the gains instead) and returns m; the neutral value (0, or
 * white 255 with black 0) leaves the map untouched. Sliders run -100..100;
 * beyond that the 32-bit curve products wrap as they would in 32 bits. */
LUMETRA_API ColorMap* LUMETRA_CALL ptBrightnessSP(ColorMap* m, int amount);
/* Exposure in hundredths of a stop on the channel gains: +100 doubles them.
 * Gains that leave the 32-bit range saturate. */
LUMETRA_API ColorMap* LUMETRA_CALL ptRealExposure(ColorMap* m, int stops100);
LUMETRA_API ColorMap* LUMETRA_CALL ptExposureSP(ColorMap* m, int amount);
/* Positive highlights flatten the top, positive shadows lift the bottom. */
LUMETRA_API ColorMap* LUMETRA_CALL ptLightDarkSP(ColorMap* m, int highlights, int shadows);
/* Positive values give an S curve; negative ones flatten, at most as -33. */
LUMETRA_API ColorMap* LUMETRA_CALL ptContrastSP(ColorMap* m, int amount);
/* Stretches black..white (bytes 0..255) to the full range; nothing when
 * white < black. */
LUMETRA_API ColorMap* LUMETRA_CALL ptWhiteBlackPoint(ColorMap* m, int white, int black);
/* Kept for hosts that call it: does nothing and returns m. */
LUMETRA_API ColorMap* LUMETRA_CALL ptFillLightSP(ColorMap* m, int amount);

/* White balance for a light of the given colour temperature (kelvin, held
 * to 1200..12000) and green factor (held to 0.02..5.0), as channel gains.
 * (6504.0, 1.001) exactly is the neutral pair and does nothing. */
LUMETRA_API void LUMETRA_CALL ptWhiteBalanceSP(ColorMap* m, double temperature, double green);
/* Temperature and green to the host's three balance sliders (a channel
 * level L shown as 200 - L); *r, *g, *b are read and rewritten. Nothing is
 * done when any of them is null. */
LUMETRA_API void LUMETRA_CALL ptTempToBalance(double temperature, double green, int* r, int* g, int* b);
/* The temperature and green factor of three slider values (levels 200 - v)
 * or of three channel values. When red or green is 0 (the ratios would
 * divide by zero) the outputs are left as they were. */
LUMETRA_API void LUMETRA_CALL ptBalanceToTemp(int r, int g, int b, double* temperature, double* green);
LUMETRA_API void LUMETRA_CALL ptColorToTemp(int r, int g, int b, double* temperature, double* green);
/* The temperature and green factor of the mean colour of the square of
 * side 2 radius + 1 around (x, y), clipped to img (8-bit, 3 channels).
 * When no pixel of the square lies in the picture, or its mean red or
 * green is 0, or img is unusable, the outputs are left as they were. */
LUMETRA_API void LUMETRA_CALL ptPickTemp(struct _IplImage* img, int x, int y, int radius, double* temperature,
                                         double* green);
/* Copies the histogram's estimate (temperature 0 means "unknown", see
 * ptCreateHistography) and returns h. */
LUMETRA_API Histography* LUMETRA_CALL ptGetTemp(Histography* h, double* temperature, double* green);

/* Counts the channels of img (3 channels, 8-bit, or 16-bit by the high
 * byte of each sample) into a new record, with an automatic white-balance
 * estimate from the pixels whose three channels are all below 250. When
 * no such pixel exists (or their mean red or green is 0) the estimate is
 * "unknown": temperature and greenFactor 0. Any other picture (or null)
 * gives the zero-filled record. Null only when memory is short. Release
 * with ptDeleteHistography. */
LUMETRA_API Histography* LUMETRA_CALL ptCreateHistography(struct _IplImage* img);
/* Paints the three smoothed histograms, overlapped in colour, over the
 * whole canvas (8-bit, 3 channels, at least 2 pixels wide); the canvas'
 * own content stays above the curves. Any other canvas is left untouched. */
LUMETRA_API void LUMETRA_CALL ptDrawHistography(Histography* h, struct _IplImage* canvas);

/* Renders map onto dst, reading src (8- or 16-bit, 3 channels, B,G,R)
 * through tf when given (else pixel (x, y) reads (x, y)) and blending with
 * src2 when the map asks for it. Returns 1 when every row was rendered, 0
 * without writing anything when:
 *  - src, dst or map is null, src is not 8- or 16-bit with 3 channels, or
 *    dst is not 8-bit with 3 channels;
 *  - src2 is given and differs from src in depth, channels or size;
 *  - the map's adjustFlags lie outside 0..7;
 *  - without tf, dst is wider or taller than src;
 *  - the lens reference length falls outside 1..46340 pixels.
 * Returns 0 as well when progress->keepGoing is cleared; rows not yet
 * reached keep their content. Regions of interest are ignored.
 * Choices beyond the map's usual ranges (fields a host wrote itself):
 *  - a 1-pixel-wide or -high source samples its single column or row;
 *  - renderFlags bits other than 8 (gains) and 0x100 (technicolor) are
 *    ignored; the renderer derives its sampling bits itself;
 *  - channel gains and the vignetting gain are computed without overflow
 *    and saturate (toward white) instead of wrapping; channels entering the
 *    colour step are held to 0..65535 (technicolor input to 0..32768);
 *  - tone table entries above 1023 read as 1023, technicolor coefficients
 *    are held to 0..32768, the blend weight to 0..256 (opacity 0..100 %),
 *    the saturation factors to +-32767;
 *  - the colour step forms its products in 64 bits where strong settings
 *    would overflow 32, and holds each final channel to 0..255;
 *  - the vignetting of a reference length above 32768 pixels (where the
 *    tabulated reciprocal is 0) darkens as if the squared gain were 1. */
LUMETRA_API int LUMETRA_CALL ptApplyMap(struct _IplImage* src, struct _IplImage* src2, struct _IplImage* dst,
                                        ColorMap* map, Transform* tf, ProgressRecord* progress);

#ifdef __cplusplus
}
#endif

#endif /* LUMETRA_H */
