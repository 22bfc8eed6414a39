// The golden sweep: every export run over generated inputs, each output
// hashed under a name that says routine, variant and input. A family is one
// function that registers its cases; the table in golden_table.txt holds the
// hash of every case, and lumetra_golden recomputes and compares them.
#pragma once

#include <opencv2/core/core_c.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lumetra.h"

namespace golden {

// CRC-32 (reflected, polynomial 0xEDB88320) of everything a case adds.
class Hash {
public:
    void bytes(const void* data, size_t size);
    void number(int64_t value) { bytes(&value, sizeof value); }
    void real(double value) { bytes(&value, sizeof value); }
    // Size, channels, depth and every byte of every row, padding included:
    // a routine that writes into the padding moves the hash.
    void picture(const IplImage* picture);
    // A picture the library or OpenCV made: its row padding is never
    // written, so only the pixels count.
    void pixels(const IplImage* picture);
    uint32_t value() const { return ~crc_; }

private:
    uint32_t crc_ = 0xFFFFFFFFu;
};

struct Case {
    std::string name;
    std::function<void(Hash&)> run;
};

// Cases of one family; `exports` are the names they exercise.
struct Family {
    const char* name;
    std::vector<std::string> exports;
    void (*add)(std::vector<Case>& cases);
};

// Every family, in table order (families.cpp).
const std::vector<Family>& families();

// ---- Inputs ---------------------------------------------------------------

struct PictureDeleter {
    void operator()(IplImage* picture) const noexcept { cvReleaseImage(&picture); }
};
using Picture = std::unique_ptr<IplImage, PictureDeleter>;

// A generated input: a photo-like pattern (gradients, edges, soft shapes and
// noise), every padding byte 0xA5. Only integer arithmetic, so the bytes are
// the same everywhere.
struct Shape {
    int width, height, channels, padding;
    int depth = IPL_DEPTH_8U;
    std::string label() const;  // "257x13c3p5", "...d16" for 16-bit
};
Picture makePicture(const Shape& shape, uint32_t seed = 1);
Picture clonePicture(const IplImage* picture);

// The common input sizes: 1x1, 3x2, 257x13 (padded) and, only where
// `large`, 640x427 (padded).
std::vector<Shape> inputShapes(int channels, bool large);

// ---- The picture pack -----------------------------------------------------

// The host's picture pack, drawn once into memory (first call draws it).
// The loader serves copies: userData is a LoaderMode or null (plain).
enum class LoaderMode { plain, none, otherChannels, grey, deep, tiny };
ImageLoaderFn packLoader();
void* loaderData(LoaderMode mode);
// Every picture of the pack, as the loader serves it (kind, name, picture).
struct PackEntry {
    int kind;
    std::string name;
    Picture picture;
};
const std::vector<PackEntry>& pack();

// ---- Family registrations -------------------------------------------------

void addPackCases(std::vector<Case>& cases);
void addPresetCases(std::vector<Case>& cases);
void addFxStageCases(std::vector<Case>& cases);
void addFxLoaderCases(std::vector<Case>& cases);
void addBlendCases(std::vector<Case>& cases);
void addToneCases(std::vector<Case>& cases);
void addColourCases(std::vector<Case>& cases);
void addTransformCases(std::vector<Case>& cases);
void addRecordCases(std::vector<Case>& cases);
void addHistogramCases(std::vector<Case>& cases);
void addTemperatureCases(std::vector<Case>& cases);
void addSmoothCases(std::vector<Case>& cases);
void addEffectCases(std::vector<Case>& cases);
void addTiltShiftCases(std::vector<Case>& cases);

}  // namespace golden
