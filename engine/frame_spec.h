// The frame specification texts: "%d,%f,%s" (type, thickness factor, name)
// and, for the textured borders of types 4 and 5, the name read again as
// "%d,%d,%d,%s" (centre mode, opacity, blend number, texture name).
#pragma once

#include <optional>
#include <string>

namespace lumetra {

constexpr int kMaxFrameNameLength = 127;
constexpr int kMaxBorderTextureNameLength = 63;

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

// The specification when it names a frame type 1..5 and a name within the
// length limit; nothing otherwise.
std::optional<FrameSpec> parseFrameSpec(const char* text);

// The border texture when all three numbers were given, the blend number is
// 0..19 and the name is within the length limit; nothing otherwise.
std::optional<BorderTextureSpec> parseBorderTextureSpec(const std::string& text);

// The specification of the tiled frame that type 5 draws last: type 3, the
// same thickness, and the texture name without its last two characters.
// Nothing when that name is shorter than two characters.
std::optional<std::string> trailingFrameSpec(const FrameSpec& frame, const BorderTextureSpec& border);

}  // namespace lumetra
