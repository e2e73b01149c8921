// Effects read from blocks: flag strings, variants, parameters, and the draw filter each makes.

#include <gtest/gtest.h>

#include <string>

#include "ini_test_util.h"
#include "project/effects/builder.h"
#include "project/effects/filter_spec.h"
#include "project/ini/ini.h"

namespace vyr {
namespace {

using vyr::testing::Parse;

// The effect one block (its lines given) describes.
TRef<TVyrEffect> EffectOf(TEffectType type, std::string_view lines) {
  TRef<TIniFile> file = Parse("[S]\nobject TheEffect:AnEffect\n" + std::string(lines) + "end\n");
  TIniObject* object = FindObject(FindSection(file.Get(), "S"), "TheEffect");
  const TEffectProp block(object, TEffectKind::Custom);
  return BuildStandardEffect(type, block, "test");
}

TDrawFilterSpec FilterOf(TEffectType type, std::string_view lines, int w = 800, int h = 600) {
  TRef<TVyrEffect> effect = EffectOf(type, lines);
  EXPECT_TRUE(effect) << lines;
  return DescribeDrawFilter(effect.Get(), w, h);
}

TEST(EffectFlags, FourDirectionsSwapTheirFirstTwoCharacters) {
  const struct {
    const char* direction;
    int code;
  } cases[] = {{"1000", 4}, {"0100", 2}, {"0010", 1}, {"0001", 3}, {"1", 4}, {"01", 2}};
  for (const auto& c : cases) {
    const std::string lines = std::string("direction=") + c.direction + "\n";
    const TDrawFilterSpec push = FilterOf(TEffectType::Push, lines);
    EXPECT_EQ(push.kind, TDrawFilterKind::Push);
    EXPECT_EQ(push.code, c.code) << c.direction;
    EXPECT_EQ(FilterOf(TEffectType::Slide, lines).code, c.code) << c.direction;
    EXPECT_EQ(FilterOf(TEffectType::Swap, lines).code, c.code) << c.direction;
    EXPECT_EQ(FilterOf(TEffectType::Flip, lines).code, c.code) << c.direction;
  }
  EXPECT_EQ(FilterOf(TEffectType::Flip, "direction=0010\nspin_center=1\n").code, 5);
}

TEST(EffectFlags, WrongLengthsAndMissingKeys) {
  // Characters past the flags are ignored; missing ones are clear.
  EXPECT_EQ(EffectOf(TEffectType::Push, "direction=11110000\n")->variants, 4);
  EXPECT_FALSE(EffectOf(TEffectType::Push, "direction=00001111\n"));
  EXPECT_FALSE(EffectOf(TEffectType::Push, ""));
  EXPECT_FALSE(EffectOf(TEffectType::Gates, "direction=x0yz2\n"));  // only "1" sets a flag
  // Actions and directions multiply; no action means no variant.
  EXPECT_EQ(EffectOf(TEffectType::HourHand, "action=11\ndirection=101000001\n")->variants, 6);
  EXPECT_FALSE(EffectOf(TEffectType::HourHand, "action=00\ndirection=1\n"));
  EXPECT_FALSE(EffectOf(TEffectType::Shapes, "direction=111\n"));
  // Dissolve and mosaic have one variant unless unchecked.
  EXPECT_EQ(EffectOf(TEffectType::Dissolve, "")->variants, 1);
  EXPECT_FALSE(EffectOf(TEffectType::Mosaic, "checked=0\n"));
}

TEST(EffectFlags, CurlingReadsItsDirectionsBackwards) {
  // Character 8 is direction 1: a roll of kind 15 in mode 3 (7 with the second action).
  TDrawFilterSpec roll = FilterOf(TEffectType::Curling, "action=10\ndirection=00000001\n");
  EXPECT_EQ(roll.kind, TDrawFilterKind::Roll);
  EXPECT_EQ(roll.code, 15);
  EXPECT_EQ(roll.mode, 3);
  roll = FilterOf(TEffectType::Curling, "action=01\ndirection=00001000\n");  // direction 4
  EXPECT_EQ(roll.code, 14);
  EXPECT_EQ(roll.mode, 7);
  roll = FilterOf(TEffectType::Curling,
                  "action=10\ndirection=10000000\nradius=0.1\npipe=0\nusecolor=1\ncolor=255\n");
  EXPECT_EQ(roll.code, 15);  // direction 8
  EXPECT_EQ(roll.mode, 1);
  EXPECT_EQ(roll.radius, 80);
  EXPECT_FALSE(roll.pipe);
  EXPECT_TRUE(roll.useColor);
  EXPECT_EQ(roll.color, 255);
  EXPECT_FALSE(roll.useVolume);
  EXPECT_FLOAT_EQ(roll.volume, 0.125f);
}

TEST(EffectVariants, KeepingOneVariantKeepsOneActionAndOneDirection) {
  // Actions 1 and 2, directions 1, 3 and 9: six variants, action major.
  TRef<TVyrEffect> hand = EffectOf(TEffectType::HourHand, "action=11\ndirection=101000001\n");
  ASSERT_EQ(hand->variants, 6);
  const struct {
    int v;
    int action;
    int direction;
  } cases[] = {{0, 1, 1}, {1, 1, 3}, {2, 1, 9}, {3, 2, 1}, {5, 2, 9}};
  for (const auto& c : cases) {
    TRef<TVyrEffect> one = hand->KeepVariant(c.v);
    EXPECT_EQ(one->variants, 1);
    EXPECT_EQ(one->CountVariants(), 1) << c.v;
    EXPECT_EQ(one->ActionSet(1), c.action == 1) << c.v;
    EXPECT_EQ(one->ActionSet(2), c.action == 2) << c.v;
    EXPECT_EQ(one->FirstDirection(), c.direction) << c.v;
  }
  // Flip keeps its option flags whatever the variant.
  TRef<TVyrEffect> flip = EffectOf(TEffectType::Flip, "direction=1111\nnonlinear_speed=1\n");
  ASSERT_EQ(flip->variants, 4);
  TRef<TVyrEffect> third = flip->KeepVariant(2);
  EXPECT_EQ(third->FirstDirection(), 3);
  EXPECT_TRUE(third->Flag(effect_param::kFlipNonlinearSpeed));
  EXPECT_TRUE(DescribeDrawFilter(third.Get(), 10, 10).nonlinearSpeed);
  EXPECT_EQ(hand->variants, 6);  // the original is untouched
}

TEST(EffectParameters, SmoothingAndDefaults) {
  EXPECT_DOUBLE_EQ(
      EffectOf(TEffectType::HourHand, "action=1\ndirection=1\nsmoothline=0.05\n")->smoothing,
      0.001);
  EXPECT_DOUBLE_EQ(EffectOf(TEffectType::HourHand, "action=1\ndirection=1\n")->smoothing, 0.35);
  EXPECT_DOUBLE_EQ(EffectOf(TEffectType::Gates, "direction=1\nsmoothline=0.25\n")->smoothing, 0.25);
  EXPECT_DOUBLE_EQ(EffectOf(TEffectType::Gates, "direction=1\nsmoothline=wide\n")->smoothing,
                   0.001);

  const TDrawFilterSpec swap = FilterOf(TEffectType::Swap, "direction=1\nangle=x\ndepth=2\n");
  EXPECT_DOUBLE_EQ(swap.angle, 60);
  EXPECT_DOUBLE_EQ(swap.distance, 1);
  EXPECT_DOUBLE_EQ(swap.depth, 2);
  EXPECT_FLOAT_EQ(FilterOf(TEffectType::Flip, "direction=1\n").volume, 0.5f);
}

TEST(EffectParameters, MosaicTiles) {
  const struct {
    const char* appearence;
    double used;
  } cases[] = {{"150", 1000}, {"100", 1000}, {"99.5", 99.5}, {"0", 0}, {"x", 0}};
  for (const auto& c : cases) {
    const TDrawFilterSpec tiles = FilterOf(
        TEffectType::Mosaic, std::string("cols=4\nrows=3\nappearence=") + c.appearence + "\n");
    EXPECT_EQ(tiles.kind, TDrawFilterKind::RandomTiles);
    EXPECT_DOUBLE_EQ(tiles.appearance, c.used) << c.appearence;
    EXPECT_EQ(tiles.cols, 4);
    EXPECT_EQ(tiles.rows, 3);
  }
  const TDrawFilterSpec plain = FilterOf(TEffectType::Mosaic, "");
  EXPECT_EQ(plain.cols, 1);
  EXPECT_EQ(plain.rows, 1);
}

TEST(EffectFilters, ShapesAndLines) {
  const struct {
    TEffectType type;
    const char* lines;
    TDrawFilterKind kind;
    bool reversed;
    int code;
    double cx, cy;
  } cases[] = {
      // Shapes: the first action reverses; the centre is read the other way round.
      {TEffectType::Shapes, "action=10\ndirection=100\ncenterx=20\ncentery=70\n",
       TDrawFilterKind::Circle, true, 0, 0.7, 0.2},
      {TEffectType::Shapes, "action=01\ndirection=010\n", TDrawFilterKind::Rhomb, false, 0, 0.5,
       0.5},
      {TEffectType::Shapes, "action=01\ndirection=001\n", TDrawFilterKind::Square, false, 0, 0.5,
       0.5},
      // Gates.
      {TEffectType::Gates, "direction=1\n", TDrawFilterKind::HLines, true, 0, 0.5, 0.5},
      {TEffectType::Gates, "direction=01\n", TDrawFilterKind::VLines, true, 0, 0.5, 0.5},
      {TEffectType::Gates, "direction=00001\n", TDrawFilterKind::HLines, false, 0, 0.5, 0.5},
      {TEffectType::Gates, "direction=000001\n", TDrawFilterKind::VLines, false, 0, 0.5, 0.5},
      {TEffectType::Gates, "direction=001\n", TDrawFilterKind::DiagLines, true, 1, 0.5, 0.5},
      {TEffectType::Gates, "direction=0001\n", TDrawFilterKind::DiagLines, true, 3, 0.5, 0.5},
      {TEffectType::Gates, "direction=0000001\n", TDrawFilterKind::DiagLines, false, 2, 0.5, 0.5},
      {TEffectType::Gates, "direction=00000001\n", TDrawFilterKind::DiagLines, false, 4, 0.5, 0.5},
      // Page.
      {TEffectType::Page, "direction=1\n", TDrawFilterKind::DiagLines, false, 2, 0.5, 0.5},
      {TEffectType::Page, "direction=00000001\n", TDrawFilterKind::DiagLines, false, 1, 0.5, 0.5},
      {TEffectType::Page, "direction=01\n", TDrawFilterKind::VLines, false, 0, 1, 0},
      {TEffectType::Page, "direction=0000001\n", TDrawFilterKind::VLines, false, 0, 0, 0},
      {TEffectType::Page, "direction=0001\n", TDrawFilterKind::HLines, false, 0, 0, 1},
      {TEffectType::Page, "direction=00001\n", TDrawFilterKind::HLines, false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const TDrawFilterSpec spec = FilterOf(c.type, c.lines);
    EXPECT_EQ(spec.kind, c.kind) << c.lines;
    EXPECT_EQ(spec.reversed, c.reversed) << c.lines;
    EXPECT_EQ(spec.code, c.code) << c.lines;
    EXPECT_DOUBLE_EQ(spec.centerX, c.cx) << c.lines;
    EXPECT_DOUBLE_EQ(spec.centerY, c.cy) << c.lines;
  }
}

TEST(EffectFilters, HourHandClockAndBrooms) {
  TDrawFilterSpec clock = FilterOf(TEffectType::HourHand, "action=01\ndirection=000010000\n");
  EXPECT_EQ(clock.kind, TDrawFilterKind::Clock);
  EXPECT_TRUE(clock.clockwise);
  const struct {
    const char* lines;
    int kind;
  } brooms[] = {{"action=10\ndirection=1\n", 8},
                {"action=10\ndirection=01\n", 1},
                {"action=01\ndirection=001\n", 13},
                {"action=10\ndirection=000001\n", 2},
                {"action=01\ndirection=000000001\n", 14}};
  for (const auto& c : brooms) {
    const TDrawFilterSpec broom = FilterOf(TEffectType::HourHand, c.lines);
    EXPECT_EQ(broom.kind, TDrawFilterKind::Broom);
    EXPECT_EQ(broom.code, c.kind) << c.lines;
  }
  EXPECT_DOUBLE_EQ(
      FilterOf(TEffectType::HourHand, "action=1\ndirection=1\noffset=0.5\n", 800, 600).sweepWidth,
      350);
}

TEST(EffectFilters, NoEffectNoFilterAndCrossFades) {
  EXPECT_EQ(DescribeDrawFilter(nullptr, 10, 10).kind, TDrawFilterKind::None);
  EXPECT_EQ(FilterOf(TEffectType::Dissolve, "").kind, TDrawFilterKind::CrossFade);
  TVyrEffect custom;
  custom.type = TEffectType::Custom;
  EXPECT_EQ(DescribeDrawFilter(&custom, 10, 10).kind, TDrawFilterKind::CrossFade);
  custom.customSection = MakeRef<TIniSection>("effect_x");
  EXPECT_EQ(DescribeDrawFilter(&custom, 10, 10).kind, TDrawFilterKind::CustomSlide);
  // A kept variant whose direction flag is cleared afterwards matches nothing.
  TRef<TVyrEffect> push = EffectOf(TEffectType::Push, "direction=1\n");
  push->flags.assign(push->flags.size(), 0);
  EXPECT_EQ(DescribeDrawFilter(push.Get(), 10, 10).kind, TDrawFilterKind::None);
}

}  // namespace
}  // namespace vyr
