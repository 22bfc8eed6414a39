// The interpreter's contract, seen through the loader: which pictures a
// script asks for, in which order and of which kind, and where it stops.
#include <gtest/gtest.h>

#include <climits>

#include "engine/catalogue.h"
#include "engine/interpreter.h"
#include "support/pictures.h"
#include "support/recording_loader.h"

namespace lumetra {
namespace {

using test::LoaderCall;
using Names = std::vector<std::string>;

class Interpreter : public ::testing::Test {
protected:
    OwnedImage src = test::makePicture(24, 16, 3);
    OwnedImage dst = test::makePicture(24, 16, 3);
    test::RecordingLoader loader;

    void SetUp() override {
        // every picture the tests name, with alpha, so flattening is exercised
        loader.serveAll({"a.png", "b.png", "c.png", "Texturize1_1.jpg", "vtg.png", "Muti_texture1-1.png",
                         "Muti_texture1-2.png", "Muti_texture1-3.jpg", "Glimmer_1.png", "Glimmer_2.jpg",
                         "Glimmer_Gina.jpg", "ns1.jpg", "nsd1a.png", "nsd1b.jpg", "mask.png"},
                        4);
        for (const char* frame : {"wood", "wood_a"})
            for (const char* suffix : {"_0.png", "_1.png", "_2.png", "_3.png", "_4.png", "_5.png", "_6.png",
                                       "_7.png", "_tt.png"})
                loader.serve(std::string(frame) + suffix, test::makePicture(10, 10, 4));
    }

    StageContext context() { return {dst.get(), nullptr, PictureLoader(test::RecordingLoader::load, &loader)}; }
    const IplImage* run(const char* script) { return runScript(script, src.get(), context()); }
    void runFx(int preset, const char* vignette = nullptr, const char* frame = nullptr) {
        fx(src.get(), dst.get(), preset, vignette, frame, test::RecordingLoader::load, nullptr, &loader);
    }
};

TEST_F(Interpreter, CataloguePictureFamiliesAskForTheirPicturesInOrder) {
    struct Case {
        int preset;
        Names names;
    };
    const Case cases[] = {
        {0, {}},                                                                    // lomo
        {33, {"Texturize1_1.jpg"}},                                                 // texture
        {100, {"vtg.png"}},                                                         // color2 then texture2
        {83, {"Muti_texture1-1.png", "Muti_texture1-2.png", "Muti_texture1-3.jpg"}},  // muti_texture
        {121, {"Glimmer_1.png", "Glimmer_2.jpg", "Glimmer_Gina.jpg"}},
        {122, {"Glimmer_1.png", "Glimmer_2.jpg"}},  // "NULL" is not asked for
        {123, {"Kailani_1.png"}},
        {146, {"ns1.jpg"}},
        {149, {"nsd1a.png", "nsd1b.jpg"}},
    };
    for (const Case& c : cases) {
        loader.calls.clear();
        runFx(c.preset);
        EXPECT_EQ(loader.names(), c.names) << "preset " << c.preset;
        for (const LoaderCall& call : loader.calls) {
            EXPECT_EQ(call.kind, IMAGE_KIND_TEXTURE);
            EXPECT_EQ(call.userData, &loader);
        }
    }
}

TEST_F(Interpreter, IndexesOutsideTheCatalogueRunNoPresetButLaterStages) {
    const OwnedImage before = test::clonePicture(dst.get());
    for (int preset : {-1, -7, INT_MIN, 153, 1000, INT_MAX}) runFx(preset);
    EXPECT_TRUE(loader.calls.empty());
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
    EXPECT_EQ(presetScript(153), nullptr);

    runFx(153, "mask.png");
    EXPECT_EQ(loader.calls, (std::vector<LoaderCall>{{IMAGE_KIND_VIGNETTE, "mask.png", &loader}}));
}

TEST_F(Interpreter, ScriptsEndWhereTheTokenizerSaysSo) {
    struct Case {
        const char* script;
        Names names;
    };
    const Case cases[] = {
        {"@ texture2 a.png overlay 50 @ texture2 b.png screen 20", {"a.png", "b.png"}},
        {"@ texture2 a.png overlay 50 7 @ texture2 b.png screen 20", {"a.png"}},   // surplus argument
        {"@ bogus 1 @ texture2 b.png screen 20", {}},                              // unknown keyword with argument
        {"@ bogus @ texture2 b.png screen 20", {"b.png"}},                          // unknown keyword alone
        {"@ texture2 a.png overlay x @ texture2 b.png screen 20", {"a.png"}},      // unparsable number
        {"texture2 a.png overlay 50", {}},                                          // no leading tag
        {"@ Texture2 a.png overlay 50", {}},                                        // keywords are case-sensitive
        {"@ lomo 1 2 @ texture2 a.png overlay 50", {}},
        {"@ vignetting2 -100 0 0.01 0.01 1.3 @ texture3 a.png 1", {"a.png"}},
        {"@ vignetting2 -100 0 0.01 0.01 @ texture3 a.png 1", {}},  // "@" read as the missing float
        {"@ bw_texture a.png 1 @ texture b.png 2 @ vignetting c.png", {"a.png", "b.png", "c.png"}},
        {"@ glimmer 4 NULL NULL NULL @ kailani 1 NULL b.png", {"b.png"}},
        {"@ texture2", {}},  // names missing at the end of the text are not asked for
        {"", {}},
    };
    for (const Case& c : cases) {
        loader.calls.clear();
        run(c.script);
        EXPECT_EQ(loader.names(), c.names) << c.script;
    }
}

TEST_F(Interpreter, KindsFollowTheCommand) {
    run("@ vignetting mask.png @ frame wood_0.png @ texture a.png 1");
    EXPECT_EQ(loader.calls, (std::vector<LoaderCall>{{IMAGE_KIND_VIGNETTE, "mask.png", &loader},
                                                     {IMAGE_KIND_FRAME, "wood_0.png", &loader},
                                                     {IMAGE_KIND_TEXTURE, "a.png", &loader}}));
}

TEST_F(Interpreter, PictureListsAreBoundedAndReadInFull) {
    run("@ muti_texture 1 11 a a a a a a a a a a a @ texture b.png 1");  // more than 10: nothing loaded
    EXPECT_EQ(loader.names(), (Names{"b.png"}));
    loader.calls.clear();
    run("@ muti_texture 1 -3 @ texture b.png 1");  // negative: no names read
    EXPECT_EQ(loader.names(), (Names{"b.png"}));
    loader.calls.clear();
    run("@ muti_texture 1 2000000000 a.png b.png");  // ends with the text, quickly
    EXPECT_TRUE(loader.calls.empty());

    loader.calls.clear();
    run("@ frame2 0.05 8 wood_0.png wood_1.png wood_2.png wood_3.png wood_4.png wood_5.png wood_6.png wood_7.png");
    EXPECT_EQ(loader.calls.size(), 8u);
    for (const LoaderCall& call : loader.calls) EXPECT_EQ(call.kind, IMAGE_KIND_FRAME);
    loader.calls.clear();
    run("@ frame2 0.05 2 wood_0.png wood_1.png @ texture b.png 1");  // not 8 pieces: loaded, then refused
    EXPECT_EQ(loader.names(), (Names{"wood_0.png", "wood_1.png", "b.png"}));
}

TEST_F(Interpreter, CurrentSourceBecomesTheDestinationAfterTheFirstCommand) {
    EXPECT_EQ(run("no tag"), src.get());
    EXPECT_EQ(run("@ bogus"), dst.get());
    EXPECT_EQ(run("@ lomo 1"), dst.get());
}

TEST_F(Interpreter, FrameSpecificationsLoadTheirPieces) {
    runFx(-1, nullptr, "2,0.05,wood");
    Names pieces;
    for (int i = 0; i < 8; ++i) pieces.push_back("wood_" + std::to_string(i) + ".png");
    EXPECT_EQ(loader.names(), pieces);
    for (const LoaderCall& call : loader.calls) EXPECT_EQ(call.kind, IMAGE_KIND_FRAME);

    loader.calls.clear();
    runFx(-1, nullptr, "4,0.05,0,80,9,wood_a");
    Names textured;
    for (int i = 0; i < 8; ++i) textured.push_back("wood_a_" + std::to_string(i) + ".png");
    textured.push_back("wood_a_tt.png");
    EXPECT_EQ(loader.names(), textured);

    loader.calls.clear();
    runFx(-1, nullptr, "5,0.05,0,80,9,wood_a");  // type 4, then a tiled frame named "wood"
    Names both = textured;
    both.insert(both.end(), pieces.begin(), pieces.end());
    EXPECT_EQ(loader.names(), both);
}

TEST_F(Interpreter, MalformedFrameSpecificationsAreIgnored) {
    const OwnedImage before = test::clonePicture(dst.get());
    // no type 1-5, or a texture without its three numbers: nothing is loaded
    for (const char* spec : {"", "x", "0,0.05,wood", "6,0.05,wood", "-1,0.05,wood", "4,0.05,wood_a",
                             "4,0.05,0,-1,9,wood_a"})
        runFx(-1, nullptr, spec);
    EXPECT_TRUE(loader.calls.empty());
    // the rest ask for every picture they name, in order, then draw nothing
    const std::string longName(200, 'w');
    const struct {
        std::string spec;
        size_t requests;
    } refused[] = {
        {"1,0.05," + longName, 1},
        {"2,0.05," + longName, 8},
        {"2,nan,wood", 8},
        {"3,1e30,wood", 8},
        {"4,0.05,0,80,20,wood_a", 9},
        {"4,0.05,0,80,-2,wood_a", 9},
        {"4,0.05,0,80,9," + std::string(64, 'w'), 9},
        {"5,0.05,0,80,9,w", 9},
    };
    for (const auto& r : refused) {
        loader.calls.clear();
        runFx(-1, nullptr, r.spec.c_str());
        EXPECT_EQ(loader.calls.size(), r.requests) << r.spec;
    }
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
}

TEST_F(Interpreter, UnusablePicturesAreRefusedBeforeAnythingRuns) {
    const OwnedImage four = test::makePicture(24, 16, 4);
    const OwnedImage small = test::makePicture(23, 16, 3);
    const OwnedImage before = test::clonePicture(dst.get());
    fx(nullptr, dst.get(), 33, "mask.png", "2,0.05,wood", test::RecordingLoader::load, nullptr, &loader);
    fx(src.get(), nullptr, 33, "mask.png", nullptr, test::RecordingLoader::load, nullptr, &loader);
    fx(src.get(), four.get(), 33, nullptr, nullptr, test::RecordingLoader::load, nullptr, &loader);
    fx(small.get(), dst.get(), 33, nullptr, nullptr, test::RecordingLoader::load, nullptr, &loader);
    EXPECT_TRUE(loader.calls.empty());
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
}

TEST_F(Interpreter, PicturesOfOtherFormatsAreReleasedAndTakenAsMissing) {
    loader.serve("grey.png", createImage(8, 8, IPL_DEPTH_8U, 1));
    loader.serve("deep.png", createImage(8, 8, IPL_DEPTH_16U, 3));
    run("@ texture2 grey.png overlay 50 @ texture deep.png 1 @ noise 1 grey.png");
    EXPECT_EQ(loader.names(), (Names{"grey.png", "deep.png", "grey.png"}));
}

}  // namespace
}  // namespace lumetra
