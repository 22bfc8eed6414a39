// The frame specification parsers on arbitrary text.
#include <cstring>
#include <string>

#include "engine/frame_spec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto spec = lumetra::parseFrameSpec(text.c_str())) {
        if (const auto border = lumetra::parseBorderTextureSpec(spec->name)) {
            lumetra::borderTextureUsable(*spec, *border);
            lumetra::trailingFrameSpec(*spec, *border);
        }
    }
    return 0;
}
