#include "engine/frame_spec.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumetra {

namespace {
// A buffer that holds any word of `text`, so a name is never cut short.
std::vector<char> wordBuffer(const char* text) { return std::vector<char>(std::strlen(text) + 1, '\0'); }
}  // namespace

std::optional<FrameSpec> parseFrameSpec(const char* text) {
    if (!text) return std::nullopt;
    FrameSpec spec;
    std::vector<char> name = wordBuffer(text);
    const int read = std::sscanf(text, "%d,%f,%s", &spec.type, &spec.thick, name.data());
    if (read < 1 || spec.type < 1 || spec.type > 5) return std::nullopt;
    spec.name = name.data();
    return spec;
}

std::optional<BorderTextureSpec> parseBorderTextureSpec(const std::string& text) {
    BorderTextureSpec spec;
    std::vector<char> name = wordBuffer(text.c_str());
    const int read =
        std::sscanf(text.c_str(), "%d,%d,%d,%s", &spec.centerMode, &spec.opacity, &spec.blendMode, name.data());
    if (read < 1 || spec.centerMode == -1 || spec.opacity == -1 || spec.blendMode == -1) return std::nullopt;
    spec.textureName = name.data();
    return spec;
}

bool borderTextureUsable(const FrameSpec& frame, const BorderTextureSpec& border) {
    return frame.name.size() <= kMaxFrameNameLength && border.textureName.size() <= kMaxBorderTextureNameLength &&
           border.blendMode >= 0 && border.blendMode < kBlendModeCount;
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
