// What `apply --frame` tells the user when the library cannot draw a frame.
// The library skips such a frame silently; the host reads the specification
// with the library's own parser and watches what the loader was asked for.
#include <opencv2/core/core_c.h>

#include <cmath>

#include "cli/cli.h"
#include "engine/frame_spec.h"

namespace cli {

std::optional<std::string> frameSpecProblem(const std::string& text) {
    using namespace lumetra;
    const std::optional<FrameSpec> spec = parseFrameSpec(text.c_str());
    if (!spec) return "the frame type must be 1 to 5 (TYPE,THICKNESS,NAME)";
    if (!std::isfinite(spec->thick)) return "the frame thickness is not a number";
    if (spec->name.size() > kMaxFrameNameLength) return "the frame name is longer than 127 characters";
    if (spec->type < 4) return std::nullopt;
    const std::optional<BorderTextureSpec> border = parseBorderTextureSpec(spec->name);
    if (!border) return "frame types 4 and 5 take CENTRE,OPACITY,BLEND,NAME after the thickness";
    if (!borderTextureUsable(*spec, *border))
        return "the blend number must be 0 to 19 and the texture name at most 63 characters";
    if (spec->type == 5 && !trailingFrameSpec(*spec, *border))
        return "frame type 5 needs a texture name of at least 2 characters";
    return std::nullopt;
}

struct _IplImage* LUMETRA_CALL loadWatchingFrames(int kind, const char* name, void* userData) {
    auto* watch = static_cast<FrameWatch*>(userData);
    IplImage* picture = loadAsset(kind, name, watch->assets);
    if (kind == IMAGE_KIND_FRAME && (!picture || picture->nChannels != 4)) watch->unusable.push_back(name);
    return picture;
}

}  // namespace cli
