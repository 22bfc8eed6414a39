// The host's ProgressRecord as the photo-tool loops use it: total set once
// per pass, keepGoing tested and current noted before each row. The record
// may be cleared from another thread, so every access is atomic.
#pragma once

#include <atomic>
#include <cstdint>

#include "lumetra.h"

namespace lumetra::pt {

struct Progress {
    ProgressRecord* record;

    void start(int32_t rows) const {
        if (record) std::atomic_ref<int32_t>(record->total).store(rows, std::memory_order_relaxed);
    }
    // Whether row y may be processed; notes it as the current row.
    bool proceed(int32_t y) const {
        if (!record) return true;
        if (std::atomic_ref<int32_t>(record->keepGoing).load(std::memory_order_relaxed) == 0) return false;
        std::atomic_ref<int32_t>(record->current).store(y, std::memory_order_relaxed);
        return true;
    }
};

}  // namespace lumetra::pt
