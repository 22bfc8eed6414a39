// The frame stage of fx: one stretched picture (type 1), eight pieces
// stretched or tiled (types 2, 3), or tiled pieces topped with a blended
// border texture (type 4), followed by a tiled frame of a related name
// (type 5). Every picture a type names is asked for, in order, before
// anything is refused: a missing or unusable one then skips the frame and
// leaves dst as it was.
#include <algorithm>
#include <array>

#include "engine/frame_spec.h"
#include "engine/interpreter.h"
#include "pixel/routines.h"

namespace lumetra {

namespace {

constexpr std::array<const char*, kFramePieces + 1> kPieceSuffixes = {
    "_0.png", "_1.png", "_2.png", "_3.png", "_4.png", "_5.png", "_6.png", "_7.png", "_tt.png",
};

// The pieces of frame `name`, loaded in index order: 8, or 9 with the
// border texture.
template <size_t Count>
struct FramePieces {
    std::array<OwnedImage, Count> owned;
    std::array<const IplImage*, Count> list{};

    FramePieces(const PictureLoader& loader, const std::string& name) {
        for (size_t i = 0; i < Count; ++i) {
            owned[i] = loader.load(IMAGE_KIND_FRAME, name + kPieceSuffixes[i]);
            list[i] = owned[i].get();
        }
    }
    bool usable() const { return std::all_of(list.begin(), list.end(), isFramePicture); }
};

void drawPictureFrame(const FrameSpec& spec, const IplImage* source, const StageContext& context) {
    const OwnedImage frame = context.loader.load(IMAGE_KIND_FRAME, spec.name);
    if (spec.name.size() > kMaxFrameNameLength) return;
    applyFrame(source, context.dst, frame.get(), context.region);
}

void drawPieceFrame(const FrameSpec& spec, int tile, const IplImage* source, const StageContext& context) {
    const FramePieces<kFramePieces> pieces(context.loader, spec.name);
    if (spec.name.size() > kMaxFrameNameLength) return;
    applyFramePieces(source, context.dst, pieces.list.data(), spec.thick, tile, context.region);
}

// Type 4: the tiled border on a transparent canvas, the texture blended onto
// it (keeping the border's alpha), and the finished border laid over the
// whole picture. Type 5 also needs a texture name it can shorten. False when
// nothing was drawn.
bool drawTexturedFrame(const FrameSpec& spec, const BorderTextureSpec& border, const IplImage* source,
                       const StageContext& context) {
    const FramePieces<kFramePieces + 1> pieces(context.loader, border.textureName);
    if (!borderTextureUsable(spec, border) || !pieces.usable()) return false;
    if (spec.type == 5 && !trailingFrameSpec(spec, border)) return false;
    if (!frameThicknessFits(source, spec.thick, context.region)) return false;
    const OwnedImage canvas = createImageLike(source, 4);
    if (!canvas) return false;
    cvSetZero(canvas.get());
    applyFramePieces(canvas.get(), canvas.get(), pieces.list.data(), spec.thick, 1, context.region);
    blendByName(canvas.get(), canvas.get(), pieces.list[kFramePieces], 1, border.opacity,
                kBlendModeNames[static_cast<size_t>(border.blendMode)], border.centerMode, context.region);
    blendByName(source, context.dst, canvas.get(), 0, 100, "opacity", 0, nullptr);
    return true;
}

}  // namespace

void runFrameStage(const char* frameSpec, const IplImage* source, const StageContext& context) {
    const std::optional<FrameSpec> spec = parseFrameSpec(frameSpec);
    if (!spec) return;
    switch (spec->type) {
        case 1:
            drawPictureFrame(*spec, source, context);
            return;
        case 2:
        case 3:
            drawPieceFrame(*spec, spec->type == 3 ? 1 : 0, source, context);
            return;
        default:
            break;
    }
    // A texture specification without its numbers is refused before loading.
    const std::optional<BorderTextureSpec> border = parseBorderTextureSpec(spec->name);
    if (!border || !drawTexturedFrame(*spec, *border, source, context)) return;
    if (spec->type != 5) return;
    // The inner frame is a stage of its own: its refusals keep the border.
    if (const std::optional<std::string> trailing = trailingFrameSpec(*spec, *border))
        runFx(context.dst, context.dst, -1, nullptr, trailing->c_str(), context.loader, context.region);
}

}  // namespace lumetra
