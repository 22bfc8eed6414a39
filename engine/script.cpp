// The preset stage: tokenises a script with a standard string stream, whose
// read rules are the grammar. A failed number read stores 0 and fails every
// later read, so the command still runs and the script ends after it; a
// surplus argument or an unknown keyword with arguments ends the script
// because the next token is not "@".
#include <array>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"
#include "looks/routines.h"
#include "pixel/routines.h"

namespace lumetra {

namespace {

// One command being run: its argument stream and where it reads and writes.
struct Command {
    std::istringstream& in;
    const IplImage* source;
    const StageContext& context;

    IplImage* dst() const { return context.dst; }
    const EffectRegion* region() const { return context.region; }
    const PictureLoader& loader() const { return context.loader; }

    int readInt() {
        int value = 0;
        in >> value;
        return value;
    }
    float readFloat(float fallback) {
        float value = fallback;
        in >> value;
        return value;
    }
    std::string readWord() {
        std::string word;
        in >> word;
        return word;
    }
};

using CommandFn = void (*)(Command&);

void runLomo(Command& c) { applyLomo(c.source, c.dst(), c.readInt(), c.region()); }
void runNewWb(Command& c) { applyNewWb(c.source, c.dst(), c.readInt(), c.region()); }
void runBaw(Command& c) { applyBaw(c.source, c.dst(), c.readInt(), c.region()); }
void runLomo2(Command& c) { applyLomo2(c.source, c.dst(), c.readInt(), c.region()); }
void runColor(Command& c) { applyColor(c.source, c.dst(), c.readInt(), c.region()); }
void runColor2(Command& c) { applyColor2(c.source, c.dst(), c.readInt(), c.region()); }
void runBwColor(Command& c) { applyBwColor(c.source, c.dst(), c.readInt(), c.region()); }
void runColorEffect(Command& c) { applyColorEffect(c.source, c.dst(), c.readInt(), c.region()); }

void runNoise(Command& c) {
    const int index = c.readInt();
    const std::string plateName = c.readWord();
    const OwnedImage plate = c.loader().loadUnlessNull(IMAGE_KIND_TEXTURE, plateName);
    applyNoise(c.source, c.dst(), plate.get(), index, c.region());
}

void runNoiseD(Command& c) {
    const int index = c.readInt();
    const std::string name1 = c.readWord();
    const std::string name2 = c.readWord();
    const OwnedImage plate1 = c.loader().loadUnlessNull(IMAGE_KIND_TEXTURE, name1);
    const OwnedImage plate2 = c.loader().loadUnlessNull(IMAGE_KIND_TEXTURE, name2);
    applyNoiseD(c.source, c.dst(), plate1.get(), plate2.get(), index, c.region());
}

// The signature looks take a type and two or three optional pictures.
template <int Count>
struct LookPictures {
    int type = 0;
    std::array<OwnedImage, Count> pictures;

    explicit LookPictures(Command& c) {
        type = c.readInt();
        std::array<std::string, Count> names;
        for (std::string& name : names) name = c.readWord();
        for (int i = 0; i < Count; ++i) pictures[i] = c.loader().loadUnlessNull(IMAGE_KIND_TEXTURE, names[i]);
    }
    const IplImage* operator[](int i) const { return pictures[i].get(); }
};

void runGlimmer(Command& c) {
    const LookPictures<3> p(c);
    applyGlimmer(c.source, p[0], p[1], p[2], c.dst(), p.type, c.region());
}
void runKailani(Command& c) {
    const LookPictures<2> p(c);
    applyKailani(c.source, p[0], p[1], c.dst(), p.type, c.region());
}
void runBeattle(Command& c) {
    const LookPictures<3> p(c);
    applyBeattle(c.source, p[0], p[1], p[2], c.dst(), p.type, c.region());
}
void runJohnny(Command& c) {
    const LookPictures<3> p(c);
    applyJohnny(c.source, p[0], p[1], p[2], c.dst(), p.type, c.region());
}

void runTexture(Command& c) {
    const std::string name = c.readWord();
    const int type = c.readInt();
    const OwnedImage texture = c.loader().load(IMAGE_KIND_TEXTURE, name);
    applyTexture(c.source, c.dst(), texture.get(), type, c.region());
}

void runTexture2(Command& c) {
    const std::string name = c.readWord();
    const std::string mode = c.readWord();
    const int opacity = c.readInt();
    const FlatPicture texture(c.loader().load(IMAGE_KIND_TEXTURE, name));
    if (!texture) return;
    blendByName(c.source, c.dst(), texture.get(), 0, opacity, mode.c_str(), 0, c.region());
}

void runTexture3(Command& c) {
    const std::string name = c.readWord();
    const int type = c.readInt();
    const FlatPicture texture(c.loader().load(IMAGE_KIND_TEXTURE, name));
    if (!texture) return;
    applyTexture3(c.source, c.dst(), texture.get(), type, c.region());
}

void runBwTexture(Command& c) {
    const std::string name = c.readWord();
    const int type = c.readInt();
    const OwnedImage texture = c.loader().load(IMAGE_KIND_TEXTURE, name);
    applyBwTexture(c.source, c.dst(), texture.get(), type, c.region());
}

// Reads `count` names and, when `load` is set, loads each in turn. Stops at
// the end of the text, so a huge count costs nothing.
std::vector<OwnedImage> readPictureList(Command& c, int count, ImageKind kind, bool load) {
    std::vector<OwnedImage> pictures;
    for (int i = 0; i < count; ++i) {
        std::string name;
        if (!(c.in >> name)) break;
        if (load) pictures.push_back(c.loader().load(kind, name));
    }
    return pictures;
}

void runMutiTexture(Command& c) {
    const int type = c.readInt();
    const int count = c.readInt();
    const bool fits = count <= kMaxMutiTextures;
    const std::vector<OwnedImage> textures = readPictureList(c, count, IMAGE_KIND_TEXTURE, fits);
    if (!fits) return;
    std::array<const IplImage*, kMaxMutiTextures> list{};
    for (size_t i = 0; i < textures.size(); ++i) list[i] = textures[i].get();
    applyMutiTexture(c.source, c.dst(), list.data(), type, c.region());
}

void runVignetting(Command& c) {
    const std::string name = c.readWord();
    const FlatPicture mask(c.loader().load(IMAGE_KIND_VIGNETTE, name));
    if (!mask) return;
    applyVignetting(c.source, c.dst(), mask.get(), 0.1f, 0.2f, 1.3f, c.region());
}

void runVignetting2(Command& c) {
    const int amount = c.readInt();
    const int exponent = c.readInt();
    const float lowClip = c.readFloat(0.1f);
    const float highClip = c.readFloat(0.2f);
    const float saturation = c.readFloat(1.3f);
    applyVignetting2(c.source, c.dst(), amount, exponent, lowClip, highClip, saturation, c.region());
}

void runFrame(Command& c) {
    const std::string name = c.readWord();
    const OwnedImage frame = c.loader().load(IMAGE_KIND_FRAME, name);
    if (!frame) return;
    applyFrame(c.source, c.dst(), frame.get(), c.region());
}

void runFrame2(Command& c) {
    const float thick = c.readFloat(0.0f);
    const int count = c.readInt();
    // Every name is read and loaded, whatever the count; only eight are drawn.
    const std::vector<OwnedImage> pieces = readPictureList(c, count, IMAGE_KIND_FRAME, true);
    if (count != kFramePieces || pieces.size() != kFramePieces) return;
    std::array<const IplImage*, kFramePieces> list{};
    for (size_t i = 0; i < pieces.size(); ++i) list[i] = pieces[i].get();
    applyFramePieces(c.source, c.dst(), list.data(), thick, 0, c.region());
}

void runClassic(Command& c) { applySepia(c.dst()); }

struct Keyword {
    std::string_view name;
    CommandFn run;
};

// Matched exactly and case-sensitively, in this order.
constexpr std::array<Keyword, 24> kKeywords = {{
    {"lomo", runLomo},
    {"new_wb", runNewWb},
    {"noise", runNoise},
    {"noise_d", runNoiseD},
    {"baw", runBaw},
    {"glimmer", runGlimmer},
    {"kailani", runKailani},
    {"beattle", runBeattle},
    {"johnny", runJohnny},
    {"lomo2", runLomo2},
    {"color", runColor},
    {"color2", runColor2},
    {"bw_color", runBwColor},
    {"ColorEffect", runColorEffect},
    {"texture", runTexture},
    {"texture2", runTexture2},
    {"texture3", runTexture3},
    {"bw_texture", runBwTexture},
    {"muti_texture", runMutiTexture},
    {"vignetting", runVignetting},
    {"vignetting2", runVignetting2},
    {"frame", runFrame},
    {"frame2", runFrame2},
    {"classic", runClassic},
}};

CommandFn findCommand(const std::string& name) {
    for (const Keyword& keyword : kKeywords)
        if (keyword.name == name) return keyword.run;
    return nullptr;
}

}  // namespace

const IplImage* runScript(const char* script, const IplImage* source, const StageContext& context) {
    if (!script) return source;
    std::istringstream in{std::string(script)};
    std::string tag;
    in >> tag;
    while (tag == "@") {
        std::string name;
        in >> name;
        if (const CommandFn run = findCommand(name)) {
            Command command{in, source, context};
            run(command);
        }
        source = context.dst;
        tag.clear();
        in >> tag;
    }
    return source;
}

}  // namespace lumetra
