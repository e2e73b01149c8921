// The effect manager: slide blocks and their references, durations, the default list with
// its shuffle and parity rule, the reproducible mode, custom effects.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <set>
#include <string>
#include <thread>

#include "foundation/exceptions.h"
#include "ini_test_util.h"
#include "project/effects/custom_effect.h"
#include "project/effects/filter_spec.h"
#include "project/effects/manager.h"
#include "project/ini/ini.h"

namespace vyr {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using vyr::testing::Parse;

// Answers Below(n) for n > 1 from a script.
class TScriptedRandom : public TEffectRandom {
 public:
  explicit TScriptedRandom(std::deque<int> answers) : answers_(std::move(answers)) {}
  int Below(int n) override {
    if (n <= 1) return 0;
    EXPECT_FALSE(answers_.empty()) << "random asked once too often";
    if (answers_.empty()) return 0;
    const int answer = answers_.front();
    answers_.pop_front();
    EXPECT_LT(answer, n);
    return answer;
  }

 private:
  std::deque<int> answers_;
};

// A show-wide block with the given definitions, and slides with the given block lines.
std::string Project(std::string_view definitions, std::vector<std::string> slides,
                    std::string_view showTime = "time=1500\n") {
  std::string text = "[Main]\nobject TheEffect:AnEffect\n" + std::string(showTime) +
                     std::string(definitions) + "end\n";
  for (size_t k = 0; k < slides.size(); ++k) {
    text += "[Slide" + std::to_string(k + 1) + "]\n";
    if (!slides[k].empty()) text += "object TheEffect:AnEffect\n" + slides[k] + "end\n";
  }
  return text;
}

constexpr std::string_view kTwoDefaults =
    "object A:AnEffect\n stdidx=9\n checked=1\n direction=1000\nend\n"
    "object B:AnEffect\n stdidx=10\n checked=1\n direction=0100\nend\n"
    "object C:AnEffect\n stdidx=2\n checked=0\nend\n";

TRef<TVYREffectManager> Manager(std::string_view text, int slides, TEffectChoice choice = {},
                                std::unique_ptr<TEffectRandom> random = nullptr) {
  return MakeRef<TVYREffectManager>(Parse(text), slides, 0, 0, choice, std::move(random));
}

std::string NameOf(const TSlideEffect& e) { return e.effect ? e.effect->name : "-"; }

TEST(EffectManager, MissingModelIsAnInternalError) {
  try {
    TVYREffectManager manager(nullptr, 0);
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_THAT(e.what(), HasSubstr("'There is no IniFile for EffectRuller'"));
  }
}

TEST(EffectManager, MissingBlocksAreMade) {
  // No show-wide block: made with 2000 ms and no definition, so "default" has no effect.
  TRef<TIniFile> bare = Parse("[Slide1]\nPicture=a.jpg\n");
  auto manager = MakeRef<TVYREffectManager>(bare, 2);
  EXPECT_DOUBLE_EQ(manager->ShowTime(), 2000);
  EXPECT_EQ(ReadText(FindKey(FindObject(FindSection(bare.Get(), "Main"), "TheEffect"), "time")),
            "2000");
  EXPECT_EQ(ReadText(FindKey(FindObject(FindSection(bare.Get(), "Slide1"), "TheEffect"), "ref")),
            "default");
  EXPECT_EQ(FindSection(bare.Get(), "Slide2"), nullptr);  // no section is made for a slide
  EXPECT_DOUBLE_EQ(manager->Duration(0), 0);
  EXPECT_FALSE(manager->Effect(0).effect);

  // A slide without its block plays the next default effect with the show's time.
  auto withDefaults = Manager(Project(kTwoDefaults, {""}), 1);
  const TSlideEffect e = withDefaults->Effect(0);
  ASSERT_TRUE(e.effect);
  EXPECT_DOUBLE_EQ(e.duration, 1500);
  EXPECT_EQ(e.defaultVariant, 0);
  EXPECT_THAT(NameOf(e), ::testing::AnyOf("A", "B"));
}

TEST(EffectManager, ReferencesAndDurations) {
  auto manager =
      Manager(Project(kTwoDefaults,
                      {
                          " ref=quick\n time=900\n",                    // 0: no transition
                          " ref=push\n time=1000\n direction=1000\n",   // 1: push, code 4
                          " ref=Nowhere\n time=700\n",                  // 2: unknown: dissolve
                          " ref=dissolve\n",                            // 3: no time: none
                          " ref=A\n time=800\n",                        // 4: definition's keys
                          " ref=PUSH\n time=600\n direction=0000\n",    // 5: no variant
                          " ref=mosaic\n time=-50\n",                   // 6: negative: none
                          " ref=Default\n time=99\n smoothline=0.5\n",  // 7: the show's time
                          " ref=gates\n time=400\n direction=1\n smoothline=0.05\n",  // 8
                      }),
              9);
  EXPECT_DOUBLE_EQ(manager->Duration(-1), 1500);
  const struct {
    int slide;
    double duration;
    const char* name;
    int type;
  } cases[] = {{0, 0, "-", 0}, {1, 1000, "push", 7}, {2, 700, "Nowhere", 1},
               {3, 0, "-", 0}, {4, 800, "A", 7},     {5, 600, "-", 0},
               {6, 0, "-", 0}, {7, 1500, "", 0},     {8, 400, "gates", 4}};
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(manager->Duration(c.slide), c.duration) << c.slide;
    const TSlideEffect e = manager->Effect(c.slide);
    if (c.slide == 7) {
      EXPECT_TRUE(e.effect);
      continue;
    }
    EXPECT_EQ(NameOf(e), c.name) << c.slide;
    if (e.effect) {
      EXPECT_EQ(static_cast<int>(e.effect->type), c.type) << c.slide;
      EXPECT_DOUBLE_EQ(e.duration, c.duration) << c.slide;
      EXPECT_EQ(e.defaultVariant, -1) << c.slide;
    }
  }
  EXPECT_EQ(DescribeDrawFilter(manager->Effect(1).effect.Get(), 800, 600).code, 4);
  EXPECT_EQ(DescribeDrawFilter(manager->Effect(4).effect.Get(), 800, 600).code, 4);
  // The slide's own "smoothline" is the edge of a named effect; the effect keeps its rule.
  const TSlideEffect gates = manager->Effect(8);
  EXPECT_DOUBLE_EQ(gates.smoothing, 0.05);
  EXPECT_DOUBLE_EQ(gates.effect->smoothing, 0.001);
  // Slides past the count wrap.
  EXPECT_EQ(NameOf(manager->Effect(10)), "push");
  EXPECT_DOUBLE_EQ(manager->Duration(10), 1000);
}

TEST(EffectManager, DefOwnTime) {
  TRef<TIniFile> model =
      Parse(Project(kTwoDefaults, {" ref=defowntime\n", " ref=DefOwnTime\n time=1200\n"}));
  auto manager = MakeRef<TVYREffectManager>(model, 2);
  // Without its own time the block gets the show's time written in, and this show has none.
  EXPECT_DOUBLE_EQ(manager->Duration(0), 0);
  EXPECT_FALSE(manager->Effect(0).effect);
  EXPECT_EQ(ReadText(FindKey(FindObject(FindSection(model.Get(), "Slide1"), "TheEffect"), "time")),
            "1500");
  const TSlideEffect own = manager->Effect(1);
  ASSERT_TRUE(own.effect);
  EXPECT_DOUBLE_EQ(own.duration, 1200);
  EXPECT_GE(own.defaultVariant, 0);
  EXPECT_DOUBLE_EQ(own.smoothing, own.effect->smoothing);
}

TEST(EffectManager, DefinitionsAndBuiltIns) {
  auto manager =
      Manager(Project(std::string(kTwoDefaults) + "object quick:AnEffect\nend\n", {}), 0);
  // A, B, C and the listed quick, then the built-in default and defowntime.
  ASSERT_EQ(manager->DefinitionCount(), 6u);
  const TEffectProp* def = manager->FindDefinition("DEFAULT");
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(def->Kind(), TEffectKind::Default);
  EXPECT_EQ(ReadText(def->Key("caption")), "default");
  EXPECT_EQ(ReadText(def->Key("group")), "GroupFromProjectOptions");
  EXPECT_EQ(ReadText(manager->FindDefinition("defowntime")->Key("islocal")), "1");
  // The listed quick has no stdidx, so it is a custom definition.
  EXPECT_EQ(manager->FindDefinition("quick")->Kind(), TEffectKind::Custom);
  // A definition's own time, else the show's.
  EXPECT_DOUBLE_EQ(manager->Duration(*manager->FindDefinition("A")), 1500);
  // Only the checked A and B make the default list.
  EXPECT_EQ(manager->DefaultList().Count(), 2u);
}

TEST(EffectManager, CheckedStates) {
  const struct {
    const char* lines;
    int state;
  } cases[] = {{"checked=1\n", 2},
               {"checked=0\n", 0},
               {"", 0},
               {"key=d1,d2\nd1=111\nd2=11\nchecked=0\n", 2},
               {"key=d1,d2\nd1=101\nd2=11\n", 1},
               {"key=d1,d2\nd1=101\nd2=00\n", 0},
               {"key=d1\n", 0}};
  for (const auto& c : cases) {
    TRef<TIniFile> file = Parse("[S]\nobject E:AnEffect\n" + std::string(c.lines) + "end\n");
    const TEffectProp block(FindObject(FindSection(file.Get(), "S"), "E"), TEffectKind::Custom);
    EXPECT_EQ(block.CheckedState(), c.state) << c.lines;
  }
}

TEST(DefaultEffects, TwoEffectsAreShuffledEveryTwoSlides) {
  // Shuffle answers: the list's first shuffle, then one at each pass of two slides.
  auto manager = Manager(Project(kTwoDefaults, {"", "", ""}), 3, {},
                         std::make_unique<TScriptedRandom>(std::deque<int>{0, 1, 0, 1}));
  std::vector<std::string> order;
  for (int i = 0; i < 6; ++i) order.push_back(NameOf(manager->Effect(i % 3)));
  // [A B] -> swap -> B A | keep -> B A | swap -> A B.
  EXPECT_THAT(order, ElementsAre("B", "A", "B", "A", "A", "B"));
}

TEST(DefaultEffects, EveryPairUsesBothEffectsInEitherOrder) {
  auto manager = Manager(Project(kTwoDefaults, {""}), 1);
  std::set<std::string> firsts;
  for (int pair = 0; pair < 64; ++pair) {
    const std::string first = NameOf(manager->Effect(0));
    const std::string second = NameOf(manager->Effect(0));
    ASSERT_NE(first, second) << "pair " << pair;
    firsts.insert(first);
  }
  EXPECT_EQ(firsts.size(), 2u);  // both orders happen (chance of failing: 2^-63)
}

TEST(DefaultEffects, ThreadsShareTheRunningOrder) {
  // However calls interleave, each pass of two slides uses A once and B once.
  auto manager = Manager(Project(kTwoDefaults, {""}), 1);
  std::atomic<int> countA{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 250; ++i)
        if (NameOf(manager->Effect(0)) == "A") ++countA;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(countA.load(), 500);
}

TEST(DefaultEffects, VariantsAlternateBetweenEvenAndOdd) {
  // One push with four directions; the parity bit wants even, odd, even, ...
  const std::string oneFour = "object P:AnEffect\n stdidx=9\n checked=1\n direction=1111\nend\n";
  auto manager = Manager(Project(oneFour, {""}), 1, {},
                         std::make_unique<TScriptedRandom>(std::deque<int>{0, 0, 3, 2, 1}));
  std::vector<int> variants;
  for (int i = 0; i < 5; ++i) variants.push_back(manager->Effect(0).defaultVariant);
  EXPECT_THAT(variants, ElementsAre(0, 1, 0, 3, 2));  // 3 + 1 wraps to 0

  // The chosen variant is the only one left in the copy: direction 4 pushes with code 3.
  auto real = Manager(Project(oneFour, {""}), 1);
  for (int i = 0; i < 20; ++i) {
    const TSlideEffect e = real->Effect(0);
    EXPECT_EQ(e.defaultVariant % 2, i % 2);
    EXPECT_EQ(e.effect->variants, 1);
    EXPECT_EQ(e.effect->FirstDirection(), e.defaultVariant + 1);
  }

  // A one-variant effect still passes the parity step: 0 + 1 wraps to 0.
  auto single = Manager(Project("object D:AnEffect\n stdidx=2\n checked=1\nend\n", {""}), 1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(single->Effect(0).defaultVariant, 0);
}

TEST(DefaultEffects, ReproducibleModeDependsOnSlideAndSeedOnly) {
  const std::string defs = std::string(kTwoDefaults) +
                           "object M:AnEffect\n stdidx=8\n checked=1\nend\n"
                           "object H:AnEffect\n stdidx=4\n checked=1\n action=11\n"
                           " direction=111000000\nend\n";
  const std::string text = Project(defs, {"", "", "", "", "", "", "", ""});
  const TEffectChoice seeded{.seed = 5u};
  auto first = Manager(text, 8, seeded);
  auto second = Manager(text, 8, seeded);
  // The list keeps definition order: A, B, M, H.
  const char* names[] = {"A", "B", "M", "H"};
  for (int i = 7; i >= 0; --i) {
    const TSlideEffect a = first->Effect(i);
    const TSlideEffect b = second->Effect(i);
    const TSlideEffect again = first->Effect(i + 8);  // the same slide in the next pass
    EXPECT_EQ(NameOf(a), names[i % 4]) << i;
    EXPECT_EQ(NameOf(b), NameOf(a));
    EXPECT_EQ(NameOf(again), NameOf(a));
    EXPECT_EQ(b.defaultVariant, a.defaultVariant);
    EXPECT_EQ(again.defaultVariant, a.defaultVariant);
    // Only H has more than one variant; its parity follows the slide index.
    EXPECT_EQ(a.defaultVariant % 2 == 1, NameOf(a) == "H" && i % 2 == 1) << i;
    if (a.effect->type == TEffectType::Mosaic) {
      EXPECT_EQ(a.effect->Int(effect_param::kMosaicSeed), i ^ 5);
    }
  }
  // Slide 7 is H (six variants): (7 xor 5) mod 6 = 2, made odd: 3.
  EXPECT_EQ(first->Effect(7).defaultVariant, 3);
}

TEST(DefaultEffects, MosaicSeedsFromTheGenerator) {
  auto manager = Manager(Project("", {" ref=mosaic\n time=500\n"}), 1);
  std::set<int32_t> seeds;
  for (int i = 0; i < 20; ++i) {
    const int32_t seed = manager->Effect(0).effect->Int(effect_param::kMosaicSeed);
    EXPECT_GE(seed, 0);
    EXPECT_LE(seed, 4096 * 4095 + 4095);
    seeds.insert(seed);
  }
  EXPECT_GT(seeds.size(), 1u);
}

constexpr std::string_view kCustomProject =
    "[Main]\nopt_scr_width=1024\nopt_scr_height=768\n"
    "object TheEffect:AnEffect\n time=1000\n"
    " object Fancy:AnEffect\n  checked=1\n  sectionfield=opt1,opt2\n  opt1=101\n  opt2=11\n"
    "  slide_100_10=star\n  slide_100_01=moon\n  slide_001_10=star\n"
    "  userprops=1\n  prop1=speed\n  speed=7\n  bcolor=255\n end\n"
    "end\n"
    "[Slide1]\nobject TheEffect:AnEffect\n ref=Fancy\n time=2500\n speed=9\nend\n"
    "[effect_star]\nCustomEffTime=3000\nobject Root:Container\n  a=1\nend\n"
    "[effect_moon]\nobject Root:Container\nend\n";

TEST(CustomEffects, VariantsOverTheOptionKeys) {
  TRef<TIniFile> model = Parse(kCustomProject);
  TIniObject* fancy =
      FindObject(FindObject(FindSection(model.Get(), "Main"), "TheEffect"), "Fancy");
  const TCustomVariants variants(TEffectProp(fancy, TEffectKind::Custom));
  EXPECT_EQ(variants.Count(), 6u);
  EXPECT_EQ(variants.SlideKey(0), "slide_100_10");
  EXPECT_EQ(variants.SlideKey(1), "slide_100_01");
  EXPECT_EQ(variants.SlideKey(5), "slide_001_01");
  EXPECT_FALSE(variants.Enabled(2));  // the middle position of opt1 is clear
  EXPECT_THAT(variants.EnabledVariants(100), ElementsAre(0, 1, 4, 5));
  EXPECT_THAT(variants.EnabledVariants(3), ElementsAre(0, 1, 4));

  TRef<TIniFile> plain = Parse("[S]\nobject E:AnEffect\nend\n");
  const TCustomVariants none(
      TEffectProp(FindObject(FindSection(plain.Get(), "S"), "E"), TEffectKind::Custom));
  EXPECT_EQ(none.Count(), 1u);
  EXPECT_EQ(none.SlideKey(0), "slide_1");
  EXPECT_THAT(none.EnabledVariants(5), ElementsAre(0));

  TRef<TIniFile> empty = Parse("[S]\nobject E:AnEffect\nsectionfield=o\no=\nend\n");
  const TCustomVariants zero(
      TEffectProp(FindObject(FindSection(empty.Get(), "S"), "E"), TEffectKind::Custom));
  EXPECT_EQ(zero.Count(), 0u);
  EXPECT_TRUE(zero.EnabledVariants(5).empty());
}

TEST(CustomEffects, DefaultListAndSlides) {
  TRef<TIniFile> model = Parse(kCustomProject);
  auto manager = MakeRef<TVYREffectManager>(model, 1);
  // One custom effect per enabled variant; a variant without an effect section is kept
  // and fades instead.
  const TDefaultEffectList& list = manager->DefaultList();
  ASSERT_EQ(list.Count(), 4u);
  int withSection = 0;
  for (size_t k = 0; k < list.Count(); ++k) {
    EXPECT_EQ(list.Item(k).type, TEffectType::Custom);
    EXPECT_EQ(list.Item(k).variants, 1);
    withSection += list.Item(k).customSection ? 1 : 0;
  }
  EXPECT_EQ(withSection, 3);

  // The slide uses the first enabled variant: effect_star, prepared from the slide's block.
  const TSlideEffect e = manager->Effect(0);
  ASSERT_TRUE(e.effect);
  EXPECT_EQ(e.effect->type, TEffectType::Custom);
  EXPECT_EQ(e.effect->name, "Fancy");
  EXPECT_DOUBLE_EQ(e.duration, 2500);
  const TIniSection* section = e.effect->customSection.Get();
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(ReadInt(FindKey(section, "CustomEffTime"), 0), 3000);
  EXPECT_EQ(ReadText(FindKey(FindObject(section, "Root"), "speed")), "9");
  EXPECT_EQ(ReadText(FindKey(FindObject(section, "Root"), "a")), "1");
  EXPECT_EQ(ReadText(FindKey(section, "bcolor")), "255");
  EXPECT_EQ(ReadText(FindKey(section, "bcolor1")), "16711680");
  EXPECT_EQ(FindKey(section, "bstyle"), nullptr);
  EXPECT_EQ(ReadInt(FindKey(section, "opt_scr_width"), 0), 1024);
  EXPECT_EQ(ReadInt(FindKey(section, "opt_scr_height"), 0), 768);
  // The project's own section is untouched.
  const TIniSection* original = FindSection(model.Get(), "effect_star");
  EXPECT_EQ(FindKey(FindObject(original, "Root"), "speed"), nullptr);
  EXPECT_EQ(FindKey(original, "opt_scr_width"), nullptr);
  EXPECT_EQ(DescribeDrawFilter(e.effect.Get(), 1024, 768).kind, TDrawFilterKind::CustomSlide);
}

}  // namespace
}  // namespace vyr
