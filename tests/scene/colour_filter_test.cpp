#include <gtest/gtest.h>

#include "foundation/exceptions.h"
#include "project/ini/ini.h"
#include "scene/expressions/modifiers.h"
#include "scene/filters/colour_filters.h"
#include "scene/filters/colour_lut.h"

namespace vyr {
namespace {

// Filter objects of one keyframe as project text, chained as a keyframe keeps them.
class TFilterChain {
 public:
  explicit TFilterChain(const std::string& objects) {
    file_->LoadFromUtf8("[Slide]\n" + objects);
    for (TIniObject* object : FindSection(file_.Get(), "Slide")->Objects()) {
      TRef<TObjectFilter> filter = CreateColourFilter(*object);
      if (filter) PushFilter(chain_, std::move(filter));
    }
  }
  TObjectFilter* Head() const { return chain_.Get(); }
  int Count() const {
    int n = 0;
    for (TObjectFilter* f = Head(); f; f = f->Next()) ++n;
    return n;
  }
  // Per-channel output level for input v (all three channels agree here).
  int Level(int v) const {
    const TColorLut lut = BuildFilterTable(Head(), TLutForm::kChannel);
    return lut.Entry(v, 0)[0];
  }
  // The cube entry for the cube indices (blue, green, red) as {r, g, b}.
  std::array<int, 3> Cube(int b, int g, int r) const {
    const TColorLut lut = BuildFilterTable(Head(), TLutForm::kCross);
    const uint8_t* e = lut.CubeEntry(b, g, r);
    return {e[2], e[1], e[0]};
  }

 private:
  TRef<TIniFile> file_ = MakeRef<TIniFile>();
  TRef<TObjectFilter> chain_;
};

TEST(ColourFilter, PerChannelLevelsFollowTheirArithmetic) {
  struct TCase {
    const char* objects;
    std::vector<std::pair<int, int>> levels;  // input, output
  };
  const TCase cases[] = {
      {"object Levels:Filter\nMin=0\nMed=0\nMax=255\nend\n",
       {{0, 0}, {1, 1}, {33, 33}, {254, 254}}},
      {"object Levels:Filter\nMin=50\nMax=200\nend\n",
       {{0, 0}, {50, 0}, {125, 127}, {200, 255}, {230, 255}}},
      // gamma (100 - 50) / (50 + 100) = 1/3: 0.5^(1/3) * 255 = 202.4
      {"object Levels:Filter\nMin=50\nMed=50\nMax=200\nend\n", {{125, 202}}},
      // Med -100: gamma 10; 0.5^10 * 255 = 0.25
      {"object Levels:Filter\nMed=-100\nMax=254\nend\n", {{127, 0}, {254, 255}}},
      // Min = Max: scale 1
      {"object Levels:Filter\nMin=100\nMax=100\nend\n", {{100, 0}, {101, 255}}},
      {"object BrightContrast:Filter\nbright=20\ncontrast=0\nend\n",
       {{0, 20}, {100, 120}, {235, 255}, {255, 255}}},
      {"object BrightContrast:Filter\nbright=-20\nend\n", {{0, 0}, {19, 0}, {100, 80}}},
      // k = 1 / tan(pi / 8) = 2.4142, d = (1 - k) * 0.5 * 255 = -180.31
      {"object BrightContrast:Filter\ncontrast=50\nend\n", {{100, 61}, {50, 0}, {180, 254}}},
      {"object BrightContrast:Filter\ncontrast=100\nend\n", {{0, 0}, {127, 0}, {128, 255}}},
      {"object BrightContrast:Filter\ncontrast=-100\nend\n", {{0, 127}, {255, 127}}},
      {"object Invert:Filter\nend\n", {{0, 255}, {100, 155}, {255, 0}}},
      {"object Invert:Filter\nend\nobject invert:Filter\nend\n", {{0, 0}, {100, 100}, {255, 255}}},
      {"object Colorisation2:Filter\nAmount=0\nColor=#FFFFFF\nend\n", {{100, 100}, {255, 255}}},
      // (255 v) div 256
      {"object Colorisation2:Filter\nAmount=100\nColor=#FFFFFF\nend\n",
       {{0, 0}, {100, 99}, {255, 254}}},
      // a = 128; t = (128 v) div 256 = v / 2; v + (128 (t - v) + 255) >> 8
      {"object Colorisation2:Filter\nAmount=50\nColor=128,128,128\nend\n",
       {{200, 150}, {1, 1}, {3, 2}}},
      {"object Colorisation3:Filter\nColor=#808080\nend\n", {{100, 100}, {255, 255}}},
      {"object Colorisation3:Filter\nColor=#FFFFFF\nend\n", {{100, 199}, {200, 255}}},
      // Levels first, then Invert: 125 -> 127 -> 128; the other way 125 -> 130 -> 136.
      {"object Levels:Filter\nMin=50\nMax=200\nend\nobject Invert:Filter\nend\n", {{125, 128}}},
      {"object Invert:Filter\nend\nobject Levels:Filter\nMin=50\nMax=200\nend\n", {{125, 136}}},
      // A disabled filter is skipped.
      {"object Invert:Filter\nDisable=1\nend\n", {{0, 0}, {200, 200}}},
  };
  for (const TCase& c : cases) {
    TFilterChain chain(c.objects);
    for (const auto& [in, out] : c.levels) EXPECT_EQ(chain.Level(in), out) << c.objects << in;
  }
}

TEST(ColourFilter, ColourMultiplyWorksOnEachChannelWithItsComponent) {
  // Red #FF0000 at Amount 50 (a = 128): blue and green head for 0, red for (255 v) div 256.
  TFilterChain chain("object Colorisation2:Filter\nAmount=50\nColor=#FF0000\nend\n");
  const TColorLut lut = BuildFilterTable(chain.Head(), TLutForm::kChannel);
  const uint8_t* e = lut.Entry(200, 0);
  EXPECT_EQ(e[0], 100);  // 200 + (128 * -200 + 255) >> 8 = 200 - 100
  EXPECT_EQ(e[1], 100);
  EXPECT_EQ(e[2], 200);  // 128 * (199 - 200) + 255 >= 0: no change
  EXPECT_EQ(e[3], 255);
  // A Windows colour number has red in its low byte.
  TFilterChain number("object Colorisation2:Filter\nAmount=50\nColor=255\nend\n");
  EXPECT_EQ(BuildFilterTable(number.Head(), TLutForm::kChannel), lut);
}

TEST(ColourFilter, CrossChannelFiltersOnCubeEntries) {
  // Cube index 31 is level 255, index 16 level 132.
  TFilterChain colorize("object Colorization:Filter\nColor=#FFFFFF\nend\n");
  // Red: luma (255 * 13933) >> 16 = 54, target (54 * 255) >> 7 = 107 on every channel.
  EXPECT_EQ(colorize.Cube(0, 0, 31), (std::array<int, 3>{107, 107, 107}));
  // White: luma 265 (the weights add up to more than 1), target 527, clamped.
  EXPECT_EQ(colorize.Cube(31, 31, 31), (std::array<int, 3>{255, 255, 255}));

  TFilterChain hue("object HSL:Filter\nHue=180\nend\n");
  EXPECT_EQ(hue.Cube(0, 0, 31), (std::array<int, 3>{0, 255, 255}));  // red -> cyan
  EXPECT_EQ(hue.Cube(31, 0, 0), (std::array<int, 3>{255, 255, 0}));  // blue -> yellow
  EXPECT_EQ(hue.Cube(16, 16, 16), (std::array<int, 3>{132, 132, 132}));
  TFilterChain clamped("object HSL:Filter\nHue=300\nend\n");
  EXPECT_EQ(clamped.Cube(0, 0, 31), (std::array<int, 3>{0, 255, 255}));

  TFilterChain grey("object HSL:Filter\nSaturation=-100\nend\n");
  EXPECT_EQ(grey.Cube(0, 0, 31), (std::array<int, 3>{128, 128, 128}));  // l = 127.5
  TFilterChain light("object HSL:Filter\nLightness=100\nend\n");
  EXPECT_EQ(light.Cube(3, 20, 9), (std::array<int, 3>{255, 255, 255}));

  TFilterChain neutral("object HSL:Filter\nHue=0\nend\n");
  EXPECT_EQ(BuildFilterTable(neutral.Head(), TLutForm::kCross), TColorLut::IdentityCube());
}

TEST(ColourFilter, ParametersAreClampedAndBadNumbersTakeDefaults) {
  const std::pair<const char*, const char*> same[] = {
      {"object Levels:Filter\nMin=-5\nMax=300\nend\n", "object Levels:Filter\nend\n"},
      {"object Levels:Filter\nMin=abc\nMed=1.5\nend\n", "object Levels:Filter\nend\n"},
      {"object BrightContrast:Filter\nbright=500\nend\n",
       "object BrightContrast:Filter\nbright=100\nend\n"},
      {"object Colorisation2:Filter\nAmount=150\nColor=#123456\nend\n",
       "object Colorisation2:Filter\nColor=#123456\nend\n"},
      {"object Colorisation2:Filter\nAmount=x\nColor=18,52,86\nend\n",
       "object Colorisation2:Filter\nColor=#123456\nend\n"},
      {"object HSL:Filter\nHue=300\nSaturation=-300\nend\n",
       "object HSL:Filter\nHue=180\nSaturation=-100\nend\n"},
  };
  for (const auto& [a, b] : same) {
    EXPECT_EQ(BuildFilterTable(TFilterChain(a).Head(), TLutForm::kCross),
              BuildFilterTable(TFilterChain(b).Head(), TLutForm::kCross))
        << a;
  }
}

TEST(ColourFilter, TypesByNameAndUnknownOnes) {
  TFilterChain chain(
      "object LEVELS:Filter\nend\nobject Sepia:Filter\nend\nobject Colorisation:Filter\nend\n");
  EXPECT_EQ(chain.Count(), 1);
  EXPECT_EQ(chain.Head()->TypeName(), "Levels");
  EXPECT_FALSE(chain.Head()->Caption().empty());
  EXPECT_FALSE(chain.Head()->Id().empty());  // a new GUID
  for (const char* name : {"Levels", "Colorization", "BrightContrast", "HSL", "Colorisation2",
                           "Colorisation3", "Invert"})
    EXPECT_TRUE(IsColourFilterType(name)) << name;
}

TEST(ColourLut, FormOfAKeyframePair) {
  TFilterChain channel("object Invert:Filter\nend\n");
  TFilterChain cross("object HSL:Filter\nend\n");
  TFilterChain crossOff("object Invert:Filter\nend\nobject HSL:Filter\nDisable=1\nend\n");
  EXPECT_EQ(PairLutForm(nullptr, nullptr, false), TLutForm::kNone);
  EXPECT_EQ(PairLutForm(nullptr, nullptr, true), TLutForm::kCross);
  EXPECT_EQ(PairLutForm(channel.Head(), nullptr, false), TLutForm::kChannel);
  EXPECT_EQ(PairLutForm(nullptr, cross.Head(), false), TLutForm::kCross);
  EXPECT_EQ(PairLutForm(crossOff.Head(), nullptr, false), TLutForm::kChannel);
}

TEST(ColourLut, IdentityTablesAndTheirLayout) {
  const TColorLut cube = TColorLut::IdentityCube();
  EXPECT_EQ(cube.Width(), 32);
  EXPECT_EQ(cube.Height(), 1024);
  const uint8_t* e = cube.Entry(5, 3 * 32 + 17);  // blue 3, green 17, red 5
  EXPECT_EQ(e[0], 24);                            // 8 * 3 + 0
  EXPECT_EQ(e[1], 140);                           // 8 * 17 + 4
  EXPECT_EQ(e[2], 41);                            // 8 * 5 + 1
  EXPECT_EQ(e[3], 255);
  EXPECT_EQ(cube.CubeEntry(31, 31, 31)[0], 255);

  // The strip is computed once and copied to every row.
  TFilterChain invert("object Invert:Filter\nend\n");
  const TColorLut strip = BuildFilterTable(invert.Head(), TLutForm::kChannel, nullptr, 4);
  EXPECT_EQ(strip.Height(), 4);
  for (int row = 0; row < 4; ++row) EXPECT_EQ(strip.Entry(10, row)[1], 245) << row;
}

TEST(ColourLut, CubeStartsFromTheColourManagementTable) {
  TColorLut managed = TColorLut::IdentityCube();
  managed.Entry(0, 0)[2] = 40;  // black maps to dark red
  TFilterChain invert("object Invert:Filter\nend\n");
  const TColorLut lut = BuildFilterTable(invert.Head(), TLutForm::kCross, &managed);
  EXPECT_EQ(lut.Entry(0, 0)[2], 215);
  EXPECT_EQ(lut.Entry(0, 0)[1], 255);
}

TEST(ColourLut, BlendOfTwoKeyframesTables) {
  TFilterChain invert("object Invert:Filter\nend\n");
  const TColorLut a = TColorLut::IdentityStrip();
  const TColorLut b = BuildFilterTable(invert.Head(), TLutForm::kChannel);
  EXPECT_EQ(BlendTables(a, b, 0), a);
  EXPECT_EQ(BlendTables(a, b, 1), b);
  const TColorLut half = BlendTables(a, b, 0.5);
  EXPECT_EQ(half.Entry(0, 0)[0], 128);                    // 0 + 255 * 0.5 = 127.5
  EXPECT_EQ(half.Entry(100, 0)[0], 128);                  // 100 + 55 * 0.5 = 127.5
  EXPECT_EQ(BlendTables(a, b, 0.25).Entry(0, 0)[2], 64);  // 63.75
}

TEST(ColourLut, CacheRebuildsOnlyWhenTheChainChanges) {
  TFilterChain invert("object Invert:Filter\nend\n");
  TFilterTableCache cache;
  const TColorLut& first = cache.Get(invert.Head(), TLutForm::kChannel);
  EXPECT_EQ(first.Entry(0, 0)[0], 255);
  const uint8_t* storage = first.Entry(0, 0);
  EXPECT_EQ(cache.Get(invert.Head(), TLutForm::kChannel).Entry(0, 0), storage);
  invert.Head()->SetDisabled(true);
  EXPECT_EQ(cache.Get(invert.Head(), TLutForm::kChannel), TColorLut::IdentityStrip());
  EXPECT_EQ(cache.Get(invert.Head(), TLutForm::kCross), TColorLut::IdentityCube());
}

TEST(ColourLut, ValueFiltersDoNotMixWithColourFilters) {
  class TNoState : public TAnimatedState {
    double GroupFraction(int) const override { return 0; }
    void SetGroupFraction(int, double) override {}
    float AnimatedValue(int) const override { return 0; }
    void SetAnimatedValue(int, float) override {}
  } state;
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8("[S]\nobject m:Mod\nfn=T\ndst=Pos.T\nend\nobject Invert:Filter\nend\n");
  TIniSection* s = FindSection(file.Get(), "S");
  TRef<TObjectFilter> chain = CreateModifier(*s->Objects()[0], state);
  PushFilter(chain, CreateColourFilter(*s->Objects()[1]));
  EXPECT_THROW(ChainKind(chain.Get()), EAssertionFailed);
}

}  // namespace
}  // namespace vyr
