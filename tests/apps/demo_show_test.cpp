// The demo show that `make run` packs: its time line, the transition each slide comes in with,
// the GUIDs its objects need and the generated media it names.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "foundation/case_fold.h"
#include "project/effects/filter_spec.h"
#include "project/ini/ini.h"
#include "project/vyr_source.h"

namespace vyr {
namespace {

const std::string kSourceDir = VYR_SOURCE_DIR;

TRef<TIniFile> LoadDemo() {
  auto model = MakeRef<TIniFile>();
  EXPECT_TRUE(model->LoadFromFile(kSourceDir + "/demo/Project.vyr"));
  return model;
}

// Every key value of a list and of the lists inside it.
void CollectValues(const TIniList& list, std::vector<std::string>& values) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const TIniItem* item = list.Item(i);
    if (item->IsList())
      CollectValues(static_cast<const TIniList&>(*item), values);
    else if (item->IsKey())
      values.push_back(item->Value());
  }
}

// Scene objects below a slide's root that are not keyframes, with their GUID key or "".
void CollectObjectGuids(const TIniList& list,
                        std::vector<std::pair<std::string, std::string>>& out) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const TIniItem* item = list.Item(i);
    if (!item->IsList() || item->IsKey() || item->Name().empty()) continue;
    const auto& object = static_cast<const TIniList&>(*item);
    if (SameName(item->Value(), "KeyPoint")) continue;
    std::string guid;
    for (size_t k = 0; k < object.Count(); ++k)
      if (object.Item(k)->IsKey() && SameName(object.Item(k)->Name(), "GUID"))
        guid = object.Item(k)->Value();
    out.emplace_back(item->Name(), guid);
    CollectObjectGuids(object, out);
  }
}

TEST(DemoShow, ThirteenSlidesOfFiveSecondsOnA720pFrame) {
  auto source = MakeRef<TVyrSource>(LoadDemo());
  ASSERT_EQ(source->SlideCount(), 13);
  EXPECT_DOUBLE_EQ(source->Length(), 65000);
  EXPECT_EQ(source->Width(), 1280);
  EXPECT_EQ(source->Height(), 720);
  EXPECT_TRUE(source->Repeats());
  for (int i = 0; i < 13; ++i) {
    const TSlideTiming timing = source->Timing(i).timing;
    EXPECT_DOUBLE_EQ(timing.start, 5000.0 * i) << i;
    EXPECT_DOUBLE_EQ(timing.end, 5000.0 * (i + 1)) << i;
    EXPECT_GE(timing.in, 1200) << i;
  }
}

TEST(DemoShow, EachSlideComesInWithItsOwnTransition) {
  auto source = MakeRef<TVyrSource>(LoadDemo());
  using K = TDrawFilterKind;
  const struct {
    K kind;
    bool reversed;
    int code;
  } expected[] = {
      {K::CrossFade, false, 0},   {K::Circle, false, 0},    {K::HLines, false, 0},
      {K::RandomTiles, false, 0}, {K::SlideIn, false, 2},   {K::Push, false, 1},
      {K::Overturn, false, 2},    {K::Roll, false, 15},     {K::DiagLines, false, 2},
      {K::Clock, false, 0},       {K::TwoSlides, false, 2}, {K::CrossFade, false, 0},
      {K::Circle, true, 0},
  };
  ASSERT_EQ(std::size(expected), static_cast<size_t>(source->SlideCount()));
  for (int i = 0; i < source->SlideCount(); ++i) {
    const TSlideEffect effect = source->Effect(i);
    ASSERT_TRUE(effect.effect) << "slide " << i + 1;
    const TDrawFilterSpec spec = DescribeDrawFilter(effect.effect.Get(), 1280, 720);
    EXPECT_EQ(spec.kind, expected[i].kind) << "slide " << i + 1;
    EXPECT_EQ(spec.reversed, expected[i].reversed) << "slide " << i + 1;
    if (expected[i].code != 0) {
      EXPECT_EQ(spec.code, expected[i].code) << "slide " << i + 1;
    }
    if (spec.kind == K::RandomTiles) {
      EXPECT_EQ(spec.cols, 16);
      EXPECT_EQ(spec.rows, 9);
    }
    if (spec.kind == K::DiagLines) {
      EXPECT_EQ(spec.diagKind, TDiagLinesKind::Page);
    }
  }
}

TEST(DemoShow, EverySceneObjectHasItsOwnGuid) {
  TRef<TIniFile> model = LoadDemo();
  std::set<std::string> seen;
  for (int slide = 1; slide <= 13; ++slide) {
    const TIniSection* section = FindSection(model.Get(), "Slide" + std::to_string(slide));
    ASSERT_NE(section, nullptr) << slide;
    const TIniObject* root = FindObjectOfClass(section, "Slide", "Root");
    ASSERT_NE(root, nullptr) << slide;
    std::vector<std::pair<std::string, std::string>> objects;
    CollectObjectGuids(*root, objects);
    EXPECT_FALSE(objects.empty()) << slide;
    for (const auto& [name, guid] : objects) {
      EXPECT_TRUE(
          std::regex_match(guid, std::regex("\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}")))
          << "slide " << slide << " object " << name << ": " << guid;
      EXPECT_TRUE(seen.insert(guid).second) << "slide " << slide << " object " << name;
    }
  }
}

TEST(DemoShow, MediaNamedByTheProjectAreMadeByTheMediaScript) {
  std::set<std::string> made;
  // The overlay's pictures come from a script of their own; the bar descriptions are demo/*.ini.
  for (const char* name : {"make-demo-media.sh", "make-demo-overlay-media.sh"}) {
    std::ifstream script(kSourceDir + "/scripts/" + name);
    ASSERT_TRUE(script) << name;
    const std::regex maker("^(picture|make_sound) ([A-Za-z0-9_.-]+) [a-z_]+$");
    for (std::string line; std::getline(script, line);) {
      std::smatch match;
      if (std::regex_match(line, match, maker)) made.insert("media/" + match[2].str());
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(kSourceDir + "/demo"))
    if (entry.path().extension() == ".ini")
      made.insert("media/" + entry.path().filename().string());
  EXPECT_GE(made.size(), 12u);

  std::vector<std::string> values;
  CollectValues(*LoadDemo(), values);
  std::set<std::string> named;
  for (const std::string& value : values)
    if (value.starts_with("media/")) named.insert(value);
  EXPECT_TRUE(named.count("media/theme.mp3"));
  for (const std::string& name : named) EXPECT_TRUE(made.count(name)) << name;
}

}  // namespace
}  // namespace vyr
