#include "engine/frame_spec.h"

#include <cstdio>
#include <cstring>

namespace lumetra {

std::optional<FrameSpec> parseFrameSpec(const char* text) {
    if (!text) return std::nullopt;
    FrameSpec spec;
    // One character more than allowed, so an over-long name shows as such.
    char name[kMaxFrameNameLength + 2] = {};
    const int read = std::sscanf(text, "%d,%f,%128s", &spec.type, &spec.thick, name);
    if (read < 1 || spec.type < 1 || spec.type > 5) return std::nullopt;
    if (std::strlen(name) > kMaxFrameNameLength) return std::nullopt;
    spec.name = name;
    return spec;
}

std::optional<BorderTextureSpec> parseBorderTextureSpec(const std::string& text) {
    BorderTextureSpec spec;
    char name[kMaxBorderTextureNameLength + 2] = {};
    const int read =
        std::sscanf(text.c_str(), "%d,%d,%d,%64s", &spec.centerMode, &spec.opacity, &spec.blendMode, name);
    if (read < 1 || spec.centerMode == -1 || spec.opacity == -1 || spec.blendMode == -1) return std::nullopt;
    if (spec.blendMode < 0 || spec.blendMode > 19) return std::nullopt;
    if (std::strlen(name) > kMaxBorderTextureNameLength) return std::nullopt;
    spec.textureName = name;
    return spec;
}

std::optional<std::string> trailingFrameSpec(const FrameSpec& frame, const BorderTextureSpec& border) {
    const std::string& name = border.textureName;
    if (name.size() < 2) return std::nullopt;
    char text[kMaxFrameNameLength + 1];
    std::snprintf(text, sizeof text, "%d,%f,%s", 3, static_cast<double>(frame.thick),
                  name.substr(0, name.size() - 2).c_str());
    return std::string(text);
}

}  // namespace lumetra
