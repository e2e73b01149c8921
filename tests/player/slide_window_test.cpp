// The window search: which absolute slide indexes are visible at a show time.

#include <gtest/gtest.h>

#include "loader_test_support.h"
#include "player/loader/slide_window.h"

namespace vyr {
namespace {

using testing::ParseProject;
using testing::TimedShow;

// Three slides ending at 5000, 9000 and 15000 with 1000 ms transitions: slide k is brought
// in during [start, start + 1000] and visible until its end + 1000.
TSlideWindowSearch SearchOf(const TRef<TVyrSource>& source) {
  return TSlideWindowSearch([source](int i) { return source->Timing(i).timing; }, source->Length(),
                            source->SlideCount());
}

TEST(SlideWindowSearch, VisibleSlidesAtTimes) {
  auto source = MakeRef<TVyrSource>(ParseProject(TimedShow({5000, 9000, 15000}, 1000)));
  struct Case {
    double time;
    int first, last;
  } cases[] = {
      {0, -1, 0},     // the first slide's transition over the blank slide
      {500, -1, 0},   //
      {999, -1, 0},   //
      {1001, 0, 0},   //
      {4999, 0, 0},   //
      {5000, 0, 1},   // slide 1 comes in over slide 0
      {5999, 0, 1},   //
      {6001, 1, 1},   //
      {9500, 1, 2},   //
      {15500, 2, 3},  // the repeating show brings slide 0 of the second pass in
      {21500, 4, 4},  // slide 1 of the second pass (20000..24000)
      {15000.0 * 1000 + 7000, 3001, 3001},  // far ahead: pass 1000, slide 1
  };
  // Times on a boundary belong to either side depending on the search's history, so the
  // table keeps off them.
  for (const Case& c : cases) {
    // Fresh searches and one carried from time to time must agree.
    auto fresh = SearchOf(source);
    const TSlideWindow window = fresh.Search(c.time);
    EXPECT_EQ(window.first, c.first) << "t=" << c.time;
    EXPECT_EQ(window.last, c.last) << "t=" << c.time;
  }
  auto carried = SearchOf(source);
  for (const Case& c : cases) EXPECT_EQ(carried.Search(c.time).first, c.first) << c.time;
  // And backwards, as after a seek to an earlier time.
  for (int i = static_cast<int>(std::size(cases)) - 1; i >= 0; --i)
    EXPECT_EQ(carried.Search(cases[i].time).first, cases[i].first) << cases[i].time;
}

TEST(SlideWindowSearch, ShowWithoutLengthStaysOnItsSlides) {
  // Every slide ends at 0: nothing to walk through, and a late time must not loop forever.
  auto source = MakeRef<TVyrSource>(ParseProject(TimedShow({0, 0}, 0)));
  auto search = SearchOf(source);
  const TSlideWindow window = search.Search(100000);
  EXPECT_GE(window.first, 0);
  EXPECT_LE(window.first, 1);
  EXPECT_EQ(search.Search(-50).first, -1);
}

}  // namespace
}  // namespace vyr
