// Where next, previous and go-to-slide land on a show's time line.

#include <gtest/gtest.h>

#include "project/ini/ini.h"
#include "viewer/actions/slide_positions.h"

namespace vyr {
namespace {

// Slides ending at the given times; each slide k brings itself in with a transition of
// transitions[k] ms ("none" for 0).
TRef<TVyrSource> Show(const std::vector<int>& ends, const std::vector<int>& transitions,
                      const std::string& repeat = "repeat",
                      const std::vector<std::string>& ids = {}) {
  std::string text = "[Main]\nopt_repeat=" + repeat +
                     "\n[Times]\nopt_slidescount=" + std::to_string(ends.size()) + "\n";
  for (size_t k = 0; k < ends.size(); ++k)
    text += "opt_synchpos" + std::to_string(k + 1) + "=" + std::to_string(ends[k]) + "\n";
  for (size_t k = 0; k < ends.size(); ++k) {
    text += "[Slide" + std::to_string(k + 1) + "]\n";
    if (k < ids.size()) text += "slideid=" + ids[k] + "\n";
    const int t = transitions[k];
    text += std::string("object TheEffect:AnEffect\nref=") + (t ? "dissolve" : "none") +
            "\ntime=" + std::to_string(t) + "\nend\n";
  }
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(text);
  TVyrSourceOptions options;
  options.effectChoice.seed = 1;
  return MakeRef<TVyrSource>(file, options);
}

TEST(SlidePositions, NextSlide) {
  // Slide 2 (from 4000) has a 1000 ms transition, slide 3 (from 8000) none.
  auto show = Show({4000, 8000, 12000, 16000}, {0, 1000, 0, 500}, "stop");
  EXPECT_EQ(NextSlidePosition(*show, 100, true), 5000);    // paused: the slide appears complete
  EXPECT_EQ(NextSlidePosition(*show, 100, false), 4000);   // playing: its transition plays
  EXPECT_EQ(NextSlidePosition(*show, 4500, false), 8001);  // no transition: start + 1
  // From the last slide of a show that stops: its end.
  EXPECT_EQ(NextSlidePosition(*show, 14000, false), 16000);
}

TEST(SlidePositions, PreviousSlide) {
  auto show = Show({4000, 8000, 12000, 16000}, {0, 1000, 0, 0});
  // Early in a slide (< 500 ms after the previous one completed) goes one further back.
  EXPECT_EQ(PreviousSlidePosition(*show, 8200), 5000);
  EXPECT_EQ(PreviousSlidePosition(*show, 12200), 8000);
  EXPECT_EQ(PreviousSlidePosition(*show, 4200), 0);
  EXPECT_EQ(PreviousSlidePosition(*show, 300), 0);
}

TEST(SlidePositions, SlideStartsAndIds) {
  auto show = Show({4000, 8000, 12000}, {0, 1000, 0}, "stop", {"Intro", "Middle", "Intro"});
  EXPECT_EQ(SlideStartPosition(*show, 0), 1);
  EXPECT_EQ(SlideStartPosition(*show, 1), 4000);
  EXPECT_EQ(SlideStartPosition(*show, 2), 8001);
  EXPECT_EQ(SlideStartPosition(*show, 3), 12000);  // the end of a show that stops
  EXPECT_EQ(SlideIndexById(*show, "Intro"), 0);
  EXPECT_EQ(SlideIndexById(*show, "Middle"), 1);
  EXPECT_EQ(SlideIndexById(*show, "Outro"), -1);
}

}  // namespace
}  // namespace vyr
