// The sweep's inputs: generated pictures and the picture pack in memory.
#include <opencv2/core.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "cli/picture_pack.h"
#include "golden/sweep.h"

namespace golden {

namespace {

constexpr uint8_t kPaddingByte = 0xA5;

std::array<uint32_t, 256> crcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// One sample of the pattern on 0..255: gradients that differ per channel,
// a bright disc, a dark bar, clipped columns and a little noise, so curves,
// levels, hue steps and clamps all see a spread of values.
int patternSample(int x, int y, int c, int width, int height, uint32_t& noise) {
    const int gx = width > 1 ? x * 255 / (width - 1) : 128;
    const int gy = height > 1 ? y * 255 / (height - 1) : 96;
    int value = (gx * (3 - c % 3) + gy * (c % 3 + 1)) / 4;
    const int dx = 2 * x - width / 2, dy = 2 * y - height;
    if (static_cast<int64_t>(dx) * dx + static_cast<int64_t>(dy) * dy < static_cast<int64_t>(height) * height / 2)
        value = (value + 255 * (c == 2 ? 3 : 2)) / (c == 2 ? 4 : 3);
    if (x % 29 == 7) value = c == 1 ? 0 : 255;
    if (y % 23 == 11) value /= 5;
    noise = noise * 1664525u + 1013904223u;
    value += static_cast<int>(noise >> 27) - 16;
    return std::clamp(value, 0, 255);
}

int kindOf(cli::pack::Folder folder) {
    switch (folder) {
        case cli::pack::Folder::textures: return IMAGE_KIND_TEXTURE;
        case cli::pack::Folder::vignettes: return IMAGE_KIND_VIGNETTE;
        default: return IMAGE_KIND_FRAME;
    }
}

Picture fromMat(const cv::Mat& stored) {
    Picture picture(cvCreateImage(cvSize(stored.cols, stored.rows), IPL_DEPTH_8U, stored.channels()));
    const size_t rowBytes = static_cast<size_t>(stored.cols) * static_cast<size_t>(stored.channels());
    for (int y = 0; y < stored.rows; ++y)
        std::memcpy(picture->imageData + static_cast<ptrdiff_t>(y) * picture->widthStep, stored.ptr(y), rowBytes);
    return picture;
}

std::vector<PackEntry> drawPack() {
    const std::vector<cli::pack::PackPicture> contents = cli::pack::packContents();
    std::vector<PackEntry> entries(contents.size());
    // Pictures are independent; a few threads draw them.
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < contents.size(); i = next++) {
            const cli::pack::PackPicture& item = contents[i];
            entries[i] = {kindOf(item.folder), item.name, fromMat(cli::pack::toStoredPicture(item, item.draw()))};
        }
    };
    // Under ThreadSanitizer one thread draws: OpenCV is not instrumented, so
    // its reference counts between our threads would read as races.
#if defined(__SANITIZE_THREAD__)
    const unsigned drawers = 1;
#else
    const unsigned drawers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
#endif
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < drawers; ++i) threads.emplace_back(work);
    work();
    for (std::thread& thread : threads) thread.join();
    return entries;
}

const PackEntry* findEntry(int kind, const char* name) {
    if (!name) return nullptr;
    for (const PackEntry& entry : pack())
        if (entry.kind == kind && entry.name == name) return &entry;
    return nullptr;
}

uint8_t sampleAt(const IplImage* p, int x, int y, int c) {
    return reinterpret_cast<const uint8_t*>(p->imageData)[y * p->widthStep + x * p->nChannels + c];
}

// The served picture for a misbehaving host: same pixels, another form.
IplImage* variantOf(const IplImage* stored, LoaderMode mode) {
    const int width = mode == LoaderMode::tiny ? std::min(stored->width, 2) : stored->width;
    const int height = mode == LoaderMode::tiny ? 1 : stored->height;
    int channels = stored->nChannels;
    if (mode == LoaderMode::otherChannels) channels = stored->nChannels == 4 ? 3 : 4;
    if (mode == LoaderMode::grey) channels = 1;
    const int depth = mode == LoaderMode::deep ? IPL_DEPTH_16U : IPL_DEPTH_8U;
    IplImage* served = cvCreateImage(cvSize(width, height), depth, channels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                // a new alpha channel repeats green: covers vary over the picture
                const int from = c < stored->nChannels ? c : 1;
                const uint8_t value = sampleAt(stored, x, y, from);
                if (depth == IPL_DEPTH_16U)
                    reinterpret_cast<uint16_t*>(served->imageData + y * served->widthStep)[x * channels + c] =
                        static_cast<uint16_t>(value * 257);
                else
                    reinterpret_cast<uint8_t*>(served->imageData + y * served->widthStep)[x * channels + c] = value;
            }
    return served;
}

IplImage* LUMETRA_CALL loadFromPack(int kind, const char* name, void* userData) {
    const LoaderMode mode = userData ? *static_cast<const LoaderMode*>(userData) : LoaderMode::plain;
    const PackEntry* entry = findEntry(kind, name);
    if (mode == LoaderMode::none || !entry) return nullptr;
    if (mode == LoaderMode::plain) return cvCloneImage(entry->picture.get());
    return variantOf(entry->picture.get(), mode);
}

}  // namespace

void Hash::bytes(const void* data, size_t size) {
    static const std::array<uint32_t, 256> table = crcTable();
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) crc_ = table[(crc_ ^ p[i]) & 0xFFu] ^ (crc_ >> 8);
}

void Hash::picture(const IplImage* picture) {
    if (!picture) {
        number(-1);
        return;
    }
    number(picture->width), number(picture->height), number(picture->nChannels), number(picture->depth);
    for (int y = 0; y < picture->height; ++y)
        bytes(picture->imageData + static_cast<ptrdiff_t>(y) * picture->widthStep, static_cast<size_t>(picture->widthStep));
}

void Hash::pixels(const IplImage* picture) {
    if (!picture) {
        number(-1);
        return;
    }
    number(picture->width), number(picture->height), number(picture->nChannels), number(picture->depth);
    const size_t rowBytes = static_cast<size_t>(picture->width) * static_cast<size_t>(picture->nChannels) *
                            static_cast<size_t>((picture->depth & 255) / 8);
    for (int y = 0; y < picture->height; ++y)
        bytes(picture->imageData + static_cast<ptrdiff_t>(y) * picture->widthStep, rowBytes);
}

std::string Shape::label() const {
    char text[64];
    std::snprintf(text, sizeof text, "%dx%dc%d", width, height, channels);
    std::string label = text;
    if (padding) label += 'p', label += std::to_string(padding);
    if (depth == IPL_DEPTH_16U) label += "d16";
    return label;
}

Picture makePicture(const Shape& shape, uint32_t seed) {
    const int bytesPerSample = shape.depth == IPL_DEPTH_16U ? 2 : 1;
    const int rowBytes = shape.width * shape.channels * bytesPerSample + shape.padding;
    const int widerBy = (shape.padding + shape.channels * bytesPerSample - 1) / (shape.channels * bytesPerSample);
    Picture picture(cvCreateImage(cvSize(shape.width + widerBy, shape.height), shape.depth, shape.channels));
    picture->width = shape.width;  // rows keep a padded widthStep
    picture->widthStep = rowBytes;
    picture->imageSize = rowBytes * shape.height;
    uint32_t noise = seed * 2654435761u + static_cast<uint32_t>(shape.width * 31 + shape.height);
    for (int y = 0; y < shape.height; ++y) {
        auto* row = reinterpret_cast<uint8_t*>(picture->imageData + y * rowBytes);
        for (int x = 0; x < shape.width; ++x)
            for (int c = 0; c < shape.channels; ++c) {
                const int value = c == 3 ? (x * 7 + y * 13) % 320 : patternSample(x, y, c, shape.width, shape.height, noise);
                const int clipped = std::min(value, 255);  // alpha: a quarter fully opaque
                if (bytesPerSample == 2)
                    reinterpret_cast<uint16_t*>(row)[x * shape.channels + c] =
                        static_cast<uint16_t>(clipped * 257 + (static_cast<int>(noise >> 20) & 0xFF));
                else
                    row[x * shape.channels + c] = static_cast<uint8_t>(clipped);
            }
        std::memset(row + shape.width * shape.channels * bytesPerSample, kPaddingByte, static_cast<size_t>(shape.padding));
    }
    return picture;
}

Picture clonePicture(const IplImage* picture) {
    // cvCloneImage copies imageSize bytes, padding and the narrowed width included
    return Picture(cvCloneImage(picture));
}

std::vector<Shape> inputShapes(int channels, bool large) {
    std::vector<Shape> shapes = {{1, 1, channels, 0}, {3, 2, channels, 1}, {257, 13, channels, 5}};
    if (large) shapes.push_back({640, 427, channels, 3});
    return shapes;
}

const std::vector<PackEntry>& pack() {
    static const std::vector<PackEntry> entries = drawPack();
    return entries;
}

ImageLoaderFn packLoader() { return loadFromPack; }

void* loaderData(LoaderMode mode) {
    static const LoaderMode modes[] = {LoaderMode::plain, LoaderMode::none, LoaderMode::otherChannels,
                                       LoaderMode::grey,  LoaderMode::deep, LoaderMode::tiny};
    return const_cast<LoaderMode*>(&modes[static_cast<int>(mode)]);
}

}  // namespace golden
