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
 *  - frame2 with a count other than 8: the names are read and loaded, then
 *    released, and the command is skipped.
 *  - Frames (the stage, "frame" and "frame2"): every picture a frame names
 *    is asked for, in order, before anything is refused. The frame is then
 *    skipped, dst left as it was, when a picture is missing or has no alpha
 *    channel (3 channels), a side passes 65535, a name passes 127
 *    characters (63 for a border texture), the blend number is outside
 *    0..19, a type-5 texture name has fewer than 2 characters, the region
 *    has no area, or the thickness min(W, H) x factor is not finite or
 *    leaves the int range. A type 4/5 texture specification without its
 *    three numbers is skipped before anything is loaded. Type 5 draws its
 *    textured border, then the tiled frame of the shortened name as a stage
 *    of its own: when only that frame is skipped the border stays.
 *  - Frame pieces are laid out on the region's canvas: zones are decided by
 *    canvas position. A thickness past half the smaller side lets the left
 *    and top zones win; a negative one leaves the zones it would draw as
 *    they were. Repeated edge pieces whose copy count leaves the int range
 *    skip the frame.
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
 *    as it is.
 *  - Texture overlays (texture, texture3, bw_texture, muti_texture): the
 *    command leaves dst as it is when the region has zero or negative width
 *    or height (its pictures are still requested), when a picture it uses is
 *    missing, wider or taller than 65535, or has the wrong channel count for
 *    the recipe (4 where the recipe lays the texture on by its alpha:
 *    texture 6 and 8-13, muti_texture 1's first two, 2's first, all of 5;
 *    3 elsewhere; texture3 masks are flattened to 3 first), and when
 *    muti_texture has fewer pictures than its index uses (3, 2, 3, 3, 5 for
 *    indexes 1-5). Indexes outside texture 1-13, bw_texture 1-2 and
 *    muti_texture 1-5 do nothing; texture3 runs look 1 for 5 and for any
 *    index outside 1-8.
 *  - muti_texture 5 places all five pictures by the stretch computed for the
 *    fifth. muti_texture 2 and 3 (the corner placements of their first
 *    picture) do nothing when that placement's scale or offset would leave
 *    32 bits (a first picture wider than about 21800 pixels, or a canvas a
 *    few pixels across).
 *  - Values a step carries past white before another step reads them
 *    (bw_texture's stretched grey, vivid light in muti_texture 4) are taken
 *    in 64 bits; the bytes stored for in-range values do not change.
 *  - baw and new_wb process the whole picture and do not read the region,
 *    not even one of zero or negative size. baw with a type other than 1
 *    or 2 does nothing; new_wb with a type outside 1..9 runs type 1.
 *  - noise and noise_d: the toning, greying, blurring and sharpening cover
 *    the whole picture; the region only places the grain plates (and the
 *    blurred or sharpened copy that noise_d 3 and 4 lay over like a plate)
 *    on its canvas. Nothing is done (dst untouched) when a plate is missing
 *    or does not have exactly 3 channels and sides of 1 to 65535 pixels,
 *    when the region has zero or negative width or height, for noise_d
 *    with an index outside 1..4 (and 3 and 4 with a picture wider or
 *    taller than 65535), or when memory for the scratch pictures is short.
 *    noise with an index other than 2 or 3 runs 1.
 *  - The toning tables of noise, noise_d and new_wb run through their listed
 *    entries as monotone piecewise cubics (Fritsch-Carlson): between two
 *    listed entries a table never turns back.
 *  - baw, new_wb, noise and noise_d give the same result in place
 *    (dst == src) as into a separate dst.
 *  - glimmer, kailani, beattle and johnny: a picture their variant needs
 *    that is missing, or a region of zero or negative width or height, skips
 *    the command (dst is left as it is). Their pictures may have 3 or 4
 *    channels whatever the recipe expects: a 3-channel picture whose alpha
 *    the recipe reads counts as opaque, and the alpha of a 4-channel one
 *    whose colour alone is read is ignored. Where a recipe lowers a grey mix
 *    below 0 before a tone curve, the curve reads such values as 0. */
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

/* AppplyEffect: one effect by number, with a picture the host has loaded
 * itself (`picture`: texture, vignette mask or frame; the caller keeps it,
 * and every other picture). `unused` is ignored. family 1 = a look chosen by
 * `index` (1..93; 8-16, 47-63, 72-76 select nothing; 17 is 18 toned with
 * the sepia matrix), 2 = a vignette laid with `picture` as the mask, 3 =
 * `picture` as a frame stretched over the view rectangle.
 *  - Returns 0 when src or dst is null (nothing done); 1 otherwise, also
 *    when the family or index selects nothing or the routine refuses.
 *  - The looks need 8-bit 3-channel src and dst of one size; otherwise dst
 *    is left as it is.
 *  - The indexes that lay `picture` (45, 46, 64-71, 84, 85, 90, 93) do
 *    nothing when it is null. Family 2 without a picture lays the radial
 *    falloff of the vignette looks instead; its mask must be 8-bit with 3
 *    channels.
 *  - Family 3: the frame must be 8-bit B, G, R, A, at most 65535 a side,
 *    and the region must have area; otherwise dst is left as it is. src and
 *    dst have the same channel count (3, or 4 with alpha accumulated) and
 *    may differ in size: src is then centred on dst (shifted by half the
 *    size difference) and reads black where it does not reach. With no
 *    region the view rectangle is dst. */
LUMETRA_API int LUMETRA_CALL AppplyEffect(struct _IplImage* src, struct _IplImage* dst, struct _IplImage* picture,
                                          int unused, int family, int index, EffectRegion* region);

/* ------------------------------------------------------------------------
 * Tilt-shift
 * ---------------------------------------------------------------------- */

/* Two families blur a picture progressively away from a sharp disc or band
 * (or evenly). Each opens a context on the source with its start call; the
 * context is a single heap block that owns its own copies of the picture (the
 * source may be released at once), is passed to any number of applies, and
 * is released by the matching end call (which accepts NULL). A context must
 * not be used by two calls at once, except that aperture applies only read
 * theirs. Applies return nothing useful and, when refused, leave the
 * destination untouched.
 *
 * Shared geometry (pixels of the source picture): inside `inner` the picture
 * stays sharp; the blur grows linearly to its maximum at `outer` and stays
 * there beyond. Distances farther than 2^31 - 1 pixels count as that far. */

typedef struct TiltShiftContext TiltShiftContext;
typedef struct ApertureContext ApertureContext;

/* Pyramid family. doShiftStart builds a context from src (8-bit, 3
 * channels): the picture in 16-bit linear light and up to 8 halved levels,
 * each stored at the picture's full height. Returns NULL for a null or
 * unsuitable src and when memory runs out.
 *
 * The applies write dst (8-bit, 3 channels). strength is the largest blur
 * relative to the picture (larger blurs more); a negative strength blurs
 * nothing, a huge one saturates at the coarsest level.
 *
 * region (may be NULL) makes a preview: its width x height is the whole
 * picture in destination pixels and its x, y the destination's top-left
 * corner within that, so dst may have any size; positions outside the
 * picture read its nearest edge pixel, and the smallest blur is raised so a
 * reduced view still shows the blur (never past the largest one). Without
 * a region dst must have the picture's size.
 *
 * keep (disc and line forms): 0 without a region renders the final picture
 * and keeps the result in the context, so the next apply starts from the
 * blurred picture; 1, or any region, leaves the context as it was.
 *
 * Refused: a null context; dst null, not 8-bit with 3 channels, or (without
 * a region) of another size than the picture; a region of zero or negative
 * width or height; a strength that is not finite. An outer value smaller
 * than inner stands for 2 * inner; when outer is then still not larger than
 * inner (equal values, or a negative inner) the disc and line forms refuse,
 * and the line form refuses two equal points. A picture under 6 pixels on a
 * side has no coarser level: every apply shows it unblurred. */
LUMETRA_API TiltShiftContext* LUMETRA_CALL doShiftStart(struct _IplImage* src);
/* Sharp disc of radius inner around (centreX, centreY). */
LUMETRA_API void LUMETRA_CALL AppplyShiftRound(TiltShiftContext* context, struct _IplImage* dst, float strength,
                                               int centreX, int centreY, int inner, int outer,
                                               EffectRegion* region, int keep);
/* Sharp band within inner of the line through (x1, y1) and (x2, y2). */
LUMETRA_API void LUMETRA_CALL AppplyShiftLine(TiltShiftContext* context, struct _IplImage* dst, float strength,
                                              int x1, int y1, int x2, int y2, int inner, int outer,
                                              EffectRegion* region, int keep);
/* The largest blur everywhere; never changes the context. */
LUMETRA_API void LUMETRA_CALL AppplyShiftBlur(TiltShiftContext* context, struct _IplImage* dst, float strength,
                                              EffectRegion* region);
LUMETRA_API void LUMETRA_CALL doShiftEnd(TiltShiftContext* context);

/* Aperture family. doShiftApStart blurs src (8-bit, 3 channels) in linear
 * light with a kernel shaped like the aperture picture `shape` (8-bit, 3
 * channels, any size; only its green channel counts) at three sizes:
 * radius, radius / 2 and radius / 4 of the picture's smaller side. The
 * kernel spans 2n + 1 pixels, n = trunc(smaller side * factor), at least 3;
 * a factor past 1 counts as 1, one at or below 0 gives the 3-pixel kernel. Returns NULL, keeping nothing, for a null or
 * unsuitable src or shape, a radius that is not finite, a shape whose green
 * channel sums to 0 at any of the three sizes, or when memory runs out.
 *
 * The applies write dst, which must be 8-bit with 3 channels and have the
 * picture's size; they never change the context, and several may read one
 * context at once. Their last arguments are not used. outer is taken as
 * given: an outer value below inner turns the ramp round (blurred within,
 * sharp beyond inner). A null context, an unsuitable dst, inner equal to
 * outer, or (line form) two equal points are refused. Round and Line always
 * return 0. */
LUMETRA_API ApertureContext* LUMETRA_CALL doShiftApStart(struct _IplImage* src, struct _IplImage* shape,
                                                         float radius);
LUMETRA_API int LUMETRA_CALL ApplyShiftApRound(ApertureContext* context, struct _IplImage* dst, int centreX,
                                               int centreY, int inner, int outer, int unused);
LUMETRA_API int LUMETRA_CALL ApplyShiftApLine(ApertureContext* context, struct _IplImage* dst, int x1, int y1,
                                              int x2, int y2, int inner, int outer, int unused);
/* The strongest blur everywhere. */
LUMETRA_API void LUMETRA_CALL ApplyShiftApBlur(ApertureContext* context, struct _IplImage* dst, int unused1,
                                               int unused2);
LUMETRA_API void LUMETRA_CALL doShiftApEnd(ApertureContext* context);

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

/* Smoothing (amount < 0) or sharpening (amount > 0, an unsharp mask) by a
 * Gaussian of sigma `radius` pixels (3 to 27 taps; the blur folds back by
 * reflection at the ends of the working area). src supplies the blur, dst
 * is both the reference and the output (a copy of src, or src itself);
 * both are 8-bit, 3 channels. With a region of interest on src the blur
 * also reads up to as many pixels around it as the kernel has taps; the
 * result is written to dst's region of interest (the whole picture without
 * one), which must have the size of src's. Per byte, with d = blur - dst
 * moved toward 0 by `threshold` (0..255; smaller differences are ignored):
 * dst += (d * K) >> 15, K = trunc(-amount / 100 * 32768 * 256 / (256 -
 * threshold)), clamped to 0..255. amount -100 gives the blur, +100 gives
 * 2 dst - blur. progress (optional) is set and tested per row of each of
 * the three passes, total being that pass's row count.
 * Returns 1 when done, and at once when amount is 0 or radius is 0.1 or
 * less. Returns 0 without writing when src or dst is null or not 8-bit
 * with 3 channels, threshold lies outside 0..255, radius is not finite, a
 * region of interest does not lie inside its picture, or the two regions
 * differ in size; also 0 when memory is short, and when progress->keepGoing
 * is cleared (the combination may then have written some rows). The
 * product d * K is formed in 64 bits: amounts beyond +-100 saturate, they
 * do not wrap. */
LUMETRA_API int LUMETRA_CALL ptSmoothFilterSP(struct _IplImage* src, struct _IplImage* dst, double radius, int amount,
                                              int threshold, ProgressRecord* progress);

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
