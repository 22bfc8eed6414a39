// The frame specification texts: "%d,%f,%s" (type, thickness factor, name)
// and, for the textured borders of types 4 and 5, the name read again as
// "%d,%d,%d,%s" (centre mode, opacity, blend number, texture name). Names
// are kept in full; the frame stage refuses those past the length limits
// after asking for their pictures.
#pragma once

#include <optional>
#include <string>

#include "pixel/blend_names.h"

namespace lumetra {

constexpr size_t kMaxFrameNameLength = 127;
constexpr size_t kMaxBorderTextureNameLength = 63;

struct FrameSpec {
    int type = -1;
    float thick = 0.05f;
    std::string name;
};

struct BorderTextureSpec {
    int centerMode = -1;
    int opacity = -1;
    int blendMode = -1;
    std::string textureName;
};

// The specification when it names a frame type 1..5; nothing otherwise.
std::optional<FrameSpec> parseFrameSpec(const char* text);

// The border texture when all three numbers were given (none left at -1);
// nothing otherwise.
std::optional<BorderTextureSpec> parseBorderTextureSpec(const std::string& text);

// Whether the texture can be drawn: names within their limits and a blend
// number 0..19.
bool borderTextureUsable(const FrameSpec& frame, const BorderTextureSpec& border);

// The specification of the tiled frame that type 5 draws last: type 3, the
// same thickness, and the texture name without its last two characters.
// Nothing when that name is shorter than two characters.
std::optional<std::string> trailingFrameSpec(const FrameSpec& frame, const BorderTextureSpec& border);

}  // namespace lumetra
