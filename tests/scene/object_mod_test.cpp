#include "scene/expressions/modifiers.h"

#include <gtest/gtest.h>

#include "project/ini/ini.h"
#include "scene/animation/animated_fields.h"

namespace vyr {
namespace {

class TFakeState : public TAnimatedState {
 public:
  double fraction[kGroupCount] = {};
  float value[kAnimatedValueCount] = {};
  double GroupFraction(int g) const override { return fraction[g]; }
  void SetGroupFraction(int g, double f) override { fraction[g] = f; }
  float AnimatedValue(int i) const override { return value[i]; }
  void SetAnimatedValue(int i, float v) override { value[i] = v; }
};

// Mod objects written as project text, one per string of "key=value" lines.
class ModObjects {
 public:
  explicit ModObjects(std::initializer_list<std::string> bodies) {
    std::string text = "[Slide]\n";
    for (const std::string& body : bodies) text += "object Mod:Mod\n" + body + "end\n";
    file_->LoadFromUtf8(text);
  }
  TIniObject& operator[](size_t i) const {
    return *FindSection(file_.Get(), "Slide")->Objects()[i];
  }

 private:
  TRef<TIniFile> file_ = MakeRef<TIniFile>();
};

TEST(Modifier, TimeModifierEasesTheGroupFraction) {
  ModObjects objects{"fn=T*T\ndst=Pos.T\n"};
  TFakeState state;
  auto mod = CreateModifier(objects[0], state);
  ASSERT_TRUE(mod);
  EXPECT_TRUE(mod->IsTimeModifier());
  EXPECT_EQ(mod->Target(), kGroupPos);
  for (double t : {0.0, 0.5, 0.8, 1.0}) {
    state.fraction[kGroupPos] = t;
    mod->Apply();
    EXPECT_DOUBLE_EQ(state.fraction[kGroupPos], t * t);
  }
  EXPECT_EQ(state.fraction[kGroupScale], 0);
}

TEST(Modifier, ValueModifierRewritesItsValue) {
  ModObjects objects{"fn=Pos.X+10\ndst=pos.x\n"};
  TFakeState state;
  auto mod = CreateModifier(objects[0], state);
  ASSERT_TRUE(mod);
  EXPECT_FALSE(mod->IsTimeModifier());
  EXPECT_EQ(mod->Target(), kValuePosX);
  state.value[kValuePosX] = 30;
  mod->Apply();
  EXPECT_EQ(state.value[kValuePosX], 40);
}

TEST(Modifier, NamesResolveInOrder) {
  struct TCase {
    const char* body;
    double expected;
  };
  // Pos fraction 0.5, Scale fraction 0.25, Opacity 80, Pos.X 30.
  const TCase cases[] = {
      {"fn=T\ndst=Pos.X\n", 0.5},                 // T: the target's group
      {"fn=t+Scale.T\ndst=Pos.T\n", 0.75},        // another group's fraction
      {"fn=VALUE\ndst=Pos.T\n", 0.5},             // value: the fraction ...
      {"fn=value\ndst=Pos.X\n", 30},              // ... or the value
      {"fn=2*3+x\nx=4\ndst=Pos.X\n", 10},         // a key is a parameter
      {"fn=x\nx=oops\ndst=Pos.X\n", 0},           // read as a float, default 0
      {"fn=Opacity\nOpacity=7\ndst=Pos.X\n", 7},  // keys before the values
      {"fn=Opacity/100\ndst=Pos.X\n", 0.8},       // an animated value
      {"fn=Pi\ndst=Pos.X\n", 3.141592653589793},  // the registry last
      {"fn=1/(T-T)\ndst=Pos.T\n", 0},             // run-time failure gives 0
      {"fn=T*2\ndst=Pos.T\nDisable=1\n", 1},      // disabled still computes
  };
  for (const TCase& c : cases) {
    ModObjects objects{c.body};
    TFakeState state;
    state.fraction[kGroupPos] = 0.5;
    state.fraction[kGroupScale] = 0.25;
    state.value[kValueOpacity] = 80;
    state.value[kValuePosX] = 30;
    auto mod = CreateModifier(objects[0], state);
    ASSERT_TRUE(mod) << c.body;
    EXPECT_NEAR(mod->GetResult(), c.expected, 1e-6) << c.body;
  }
  ModObjects folded{"fn=2*3+x\nx=4\ndst=Pos.X\n"};
  TFakeState state;
  EXPECT_EQ(CreateModifier(folded[0], state)->Program().Count(), 1u);
}

TEST(Modifier, UnusableModObjectsGiveNoModifier) {
  const std::string longest = "T+" + std::string(254, '0');  // 256 characters
  const std::string tooLong = "T+" + std::string(255, '0');
  const std::pair<std::string, bool> cases[] = {
      {"fn=T\ndst=Pos.T\n", true},
      {"fn=" + longest + "\ndst=Pos.T\n", true},
      {"fn=" + tooLong + "\ndst=Pos.T\n", false},
      {"fn=\ndst=Pos.T\n", false},
      {"fn=T\n", false},                  // no target
      {"fn=T\ndst=Foo.X\n", false},       // unknown group
      {"fn=T\ndst=Pos.W\n", false},       // unknown value of a known group
      {"fn=T\ndst=Color\n", false},       // Color has no value
      {"fn=T\ndst=Color.T\n", true},      // but a fraction
      {"fn=T*\ndst=Pos.T\n", false},      // does not compile
      {"fn=fn*2\ndst=Pos.T\n", false},    // own keys that are not parameters
      {"fn=Blur.Q\ndst=Pos.T\n", false},  // unknown name
  };
  for (const auto& [body, accepted] : cases) {
    ModObjects objects{body};
    TFakeState state;
    EXPECT_EQ(bool(CreateModifier(objects[0], state)), accepted) << body;
  }
}

TEST(Modifier, ChainRunsInFileOrderAndSkipsDisabledOnes) {
  ModObjects objects{"fn=value*2\ndst=Pos.X\n", "fn=value+1\ndst=Pos.X\nDisable=1\n",
                     "fn=value+5\ndst=Pos.X\n"};
  TFakeState state;
  TRef<TObjectFilter> chain;
  for (size_t i = 0; i < 3; ++i) PushFilter(chain, CreateModifier(objects[i], state));
  state.value[kValuePosX] = 10;
  ApplyModifierChain(chain.Get());
  EXPECT_EQ(state.value[kValuePosX], 25);  // (10 * 2) + 5
  EXPECT_EQ(ChainKind(chain.Get()), kFilterValue);
}

TEST(Modifier, IdentityAndRevisionDecideReuse) {
  ModObjects objects{"fn=T\ndst=Pos.T\n", "fn=T\ndst=Pos.T\nid={A}\n$rev=3\n"};
  TFakeState state;
  auto fresh = CreateModifier(objects[0], state);
  const std::string id = ReadText(FindKey(&objects[0], "id"));
  EXPECT_EQ(id.size(), 38u);  // a new GUID, written into the object
  EXPECT_EQ(fresh->Id(), id);
  auto kept = CreateModifier(objects[1], state);
  EXPECT_EQ(kept->Id(), "{A}");
  EXPECT_EQ(kept->Rev(), 3);
  EXPECT_TRUE(kept->Matches(objects[1]));
  WriteText(FindKey(&objects[1], "$rev"), "4");
  EXPECT_FALSE(kept->Matches(objects[1]));
  EXPECT_FALSE(kept->Matches(objects[0]));
}

TEST(AnimatedFields, TableAndNames) {
  EXPECT_NO_THROW(CheckAnimatedFieldTable());
  EXPECT_EQ(FindAnimatedValue("Frame.S"), kValueZoom);
  EXPECT_EQ(FindAnimatedValue("ANGLE"), kValueAngle);
  EXPECT_EQ(FindAnimatedValue("Angle.Z"), -1);
  EXPECT_EQ(FindAnimatedValue("Pos"), -1);
  EXPECT_EQ(FindTimeGroup("center.t"), kGroupCenter);
  EXPECT_EQ(FindTimeGroup("Center.X"), -1);
  EXPECT_EQ(GroupValues(kGroupPos).first, kValuePosX);
  EXPECT_EQ(GroupValues(kGroupPos).end, kValuePosZ + 1);
  EXPECT_EQ(GroupValues(kGroupColor).end - GroupValues(kGroupColor).first, 0);
}

}  // namespace
}  // namespace vyr
