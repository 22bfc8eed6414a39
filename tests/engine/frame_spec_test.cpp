#include <gtest/gtest.h>

#include "engine/frame_spec.h"

namespace lumetra {
namespace {

TEST(FrameSpec, ReadsTypeThicknessAndName) {
    const auto spec = parseFrameSpec("2,0.05,wood");
    ASSERT_TRUE(spec);
    EXPECT_EQ(spec->type, 2);
    EXPECT_FLOAT_EQ(spec->thick, 0.05f);
    EXPECT_EQ(spec->name, "wood");

    const auto typeOnly = parseFrameSpec("3");  // thickness and name keep their defaults
    ASSERT_TRUE(typeOnly);
    EXPECT_EQ(typeOnly->thick, 0.05f);
    EXPECT_EQ(typeOnly->name, "");

    EXPECT_FALSE(parseFrameSpec(nullptr));
    EXPECT_FALSE(parseFrameSpec("wood"));
    EXPECT_FALSE(parseFrameSpec("7,0.05,wood"));
    // names are kept in full: the stage asks for them before refusing
    EXPECT_EQ(parseFrameSpec(("1,0.05," + std::string(300, 'n')).c_str())->name.size(), 300u);
}

TEST(FrameSpec, BorderTextureNeedsAllThreeNumbersAndAKnownBlend) {
    const auto border = parseBorderTextureSpec("0,80,9,wood_a");
    ASSERT_TRUE(border);
    EXPECT_EQ(border->centerMode, 0);
    EXPECT_EQ(border->opacity, 80);
    EXPECT_EQ(border->blendMode, 9);
    EXPECT_EQ(border->textureName, "wood_a");
    EXPECT_FALSE(parseBorderTextureSpec("0,80"));
    EXPECT_FALSE(parseBorderTextureSpec("wood_a"));

    const FrameSpec frame{4, 0.05f, "0,80,9,wood_a"};
    EXPECT_TRUE(borderTextureUsable(frame, *border));
    EXPECT_FALSE(borderTextureUsable(frame, *parseBorderTextureSpec("0,80,20,wood_a")));
    EXPECT_FALSE(borderTextureUsable(frame, *parseBorderTextureSpec("0,80,-2,wood_a")));
    EXPECT_TRUE(borderTextureUsable(frame, *parseBorderTextureSpec("0,80,1," + std::string(63, 'n'))));
    EXPECT_FALSE(borderTextureUsable(frame, *parseBorderTextureSpec("0,80,1," + std::string(64, 'n'))));
}

TEST(FrameSpec, TypeFiveTrailsWithATiledFrameOfTheShortenedName) {
    const FrameSpec frame{5, 0.05f, "0,80,9,wood_a"};
    const auto border = parseBorderTextureSpec(frame.name);
    EXPECT_EQ(trailingFrameSpec(frame, *border), "3,0.050000,wood");
    EXPECT_FALSE(trailingFrameSpec(frame, BorderTextureSpec{0, 80, 9, "w"}));
}

}  // namespace
}  // namespace lumetra
