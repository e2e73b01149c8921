// The show report of the info tool, as JSON and as text.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "ini_test_util.h"
#include "project/show_info.h"

namespace vyr {
namespace {

using ::testing::HasSubstr;
using vyr::testing::Parse;

constexpr std::string_view kShow =
    "[Main]\nopt_repeat=Stop\nopt_manualshow=1\nopt_scr_width=800\nopt_scr_height=600\n"
    "object TheEffect:AnEffect\n time=1000\n"
    " object P:AnEffect\n  stdidx=9\n  checked=1\n  direction=1111\n end\n"
    "end\n"
    "[Times]\nopt_slidescount=3\nopt_synchpos1=5000\nopt_synchpos2=9000\nopt_synchpos3=15000\n"
    "[Slide1]\nslideid=Intro \"1\"\nPers_EndAction=loop\n"
    "object TheEffect:AnEffect\n ref=quick\nend\n"
    "[Slide2]\nPicture=C:\\Pics\\Beach.Day.jpg\nPers_RunApp=1\nRunAppFN=gimp\n"
    "object TheEffect:AnEffect\n ref=push\n time=1000\n direction=1000\n smoothline=0.05\nend\n"
    "[Slide3]\n";

TShowInfo Info(std::optional<uint32_t> seed) {
  auto source = MakeRef<TVyrSource>(Parse(kShow), TVyrSourceOptions{.effectChoice = {seed}});
  return CollectShowInfo(*source);
}

TEST(SourceInfo, JsonReport) {
  const std::string json = ShowInfoJson(Info(3));
  EXPECT_THAT(json, HasSubstr("{\"slides\": 3, \"length\": 15000, \"repeat\": \"stop\", "
                              "\"manual\": true, \"size\": [800, 600], \"slide\": [\n"));
  EXPECT_THAT(json, HasSubstr("{\"index\": 0, \"id\": \"Intro \\\"1\\\"\", \"start\": 0, "
                              "\"end\": 5000, \"in\": 0, \"out\": 1000, \"visible_end\": 6000, "
                              "\"end_action\": \"loop\", \"loop_length\": 5000, "
                              "\"run_app\": null, \"effect\": null}"));
  EXPECT_THAT(json, HasSubstr("{\"index\": 1, \"id\": \"Beach.Day\", \"start\": 5000, "
                              "\"end\": 9000, \"in\": 1000, \"out\": 1000, "
                              "\"visible_end\": 10000, \"end_action\": \"pause\", "
                              "\"loop_length\": 0, \"run_app\": \"gimp\", \"effect\": "
                              "{\"type\": 7, \"name\": \"push\", \"duration\": 1000, "
                              "\"smoothing\": 0.05}}"));
  // The last slide plays the default push with the variant the seed picks: (2 xor 3) mod 4
  // = 1, made even for slide 2: 2.
  EXPECT_THAT(json, HasSubstr("\"out\": 0, \"visible_end\": 15000"));
  EXPECT_THAT(json, HasSubstr("\"effect\": {\"type\": 7, \"name\": \"P\", \"duration\": 1000, "
                              "\"smoothing\": 0.001, \"variant\": 2}}\n]}\n"));
  EXPECT_EQ(ShowInfoJson(Info(3)), json);
}

TEST(SourceInfo, TextReport) {
  const std::string text = ShowInfoText(Info(3));
  EXPECT_THAT(text, HasSubstr("slides: 3\nlength: 15000 ms\nrepeat: stop\nmanual: yes\n"
                              "size: 800 x 600\n"));
  EXPECT_THAT(text, HasSubstr("slide 0 \"Intro \"1\"\": 0 .. 5000 ms, in 0, out 1000, "
                              "visible to 6000; end loop 5000 ms; effect -\n"));
  EXPECT_THAT(text, HasSubstr("slide 1 \"Beach.Day\": 5000 .. 9000 ms, in 1000, out 1000, "
                              "visible to 10000; end pause; run gimp; effect push 1000 ms\n"));
  EXPECT_THAT(text, HasSubstr("effect P 1000 ms (default, variant 2)\n"));
}

TEST(SourceInfo, EmptyShow) {
  auto source = MakeRef<TVyrSource>(Parse(""));
  EXPECT_EQ(ShowInfoJson(CollectShowInfo(*source)),
            "{\"slides\": 0, \"length\": 0, \"repeat\": \"repeat\", \"manual\": false, "
            "\"size\": [1920, 1080], \"slide\": []}\n");
}

}  // namespace
}  // namespace vyr
