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
 *    border texture) or blend numbers outside 0..19 are ignored. */
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

#ifdef __cplusplus
}
#endif

#endif /* LUMETRA_H */
