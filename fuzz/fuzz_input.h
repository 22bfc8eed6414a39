// Turns fuzzer bytes into the values a caller can pass: sizes, channel
// counts, padding, indexes, regions and texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumetra::fuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t byte() { return used_ < size_ ? data_[used_++] : 0; }
    int32_t int32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | byte();
        return static_cast<int32_t>(value);
    }
    // A small value in low..high, the common case for sizes.
    int range(int low, int high) { return low + byte() % (high - low + 1); }
    // Either a plausible value near `typical` or any 32-bit value.
    int32_t mostly(int32_t typical, int spread) {
        const uint8_t selector = byte();
        if (selector < 200) return typical + range(-spread, spread);
        return int32();
    }
    std::string text(size_t maxLength) {
        const size_t length = byte() % (maxLength + 1);
        std::string result;
        for (size_t i = 0; i < length && used_ < size_; ++i) result.push_back(static_cast<char>(byte()));
        return result;
    }
    const uint8_t* rest() const { return data_ + used_; }
    size_t restSize() const { return size_ - used_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t used_ = 0;
};

}  // namespace lumetra::fuzz
