// Opening a show of 2,000 slides: the show source with its slide table, effect blocks and
// default transition list, with and without parsing the project text.
#include <benchmark/benchmark.h>

#include <string>

#include "project/ini/ini.h"
#include "project/show_info.h"
#include "project/vyr_source.h"

namespace {

using namespace vyr;

constexpr int kSlides = 2000;

// A show as the authoring tool writes it: a default list of a dozen transitions, slides with
// pictures, objects and their own transition blocks.
std::string MakeShow(int slides) {
  std::string text = "[Main]\r\nopt_scr_width=1920\r\nopt_scr_height=1080\r\nopt_repeat=repeat\r\n";
  text += "object TheEffect:AnEffect\r\n  time=1200\r\n";
  const char* kinds[] = {"2", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13"};
  for (const char* kind : kinds) {
    text += std::string("  object Std") + kind + ":AnEffect\r\n    stdidx=" + kind +
            "\r\n    checked=1\r\n    action=11\r\n    direction=11111111\r\n  end\r\n";
  }
  text +=
      "  object Fancy:AnEffect\r\n    checked=1\r\n    sectionfield=o1\r\n    o1=11\r\n"
      "    slide_10=star\r\n    slide_01=star\r\n  end\r\nend\r\n";
  text += "[effect_star]\r\nCustomEffTime=2000\r\nobject Root:Container\r\nend\r\n";
  text += "[Times]\r\nopt_slidescount=" + std::to_string(slides) + "\r\n";
  for (int s = 1; s <= slides; ++s)
    text += "opt_synchpos" + std::to_string(s) + "=" + std::to_string(s * 5000) + "\r\n";
  for (int s = 1; s <= slides; ++s) {
    const std::string n = std::to_string(s);
    text += "[Slide" + n + "]\r\nPicture=C:\\Shows\\Pictures\\slide" + n + ".jpg\r\n";
    if (s % 7 == 0) text += "Pers_EndAction=pause\r\n";
    for (int o = 0; o < 3; ++o) {
      text += "object Pic" + std::to_string(o) + ":Picture\r\n  FileName=C:\\p" + n +
              ".jpg\r\n  PosX=12.5\r\n  PosY=-3.25\r\nend\r\n";
    }
    if (s % 3 == 0)
      text +=
          "object TheEffect:AnEffect\r\n  ref=push\r\n  time=900\r\n  direction=1000\r\nend\r\n";
    else if (s % 3 == 1)
      text += "object TheEffect:AnEffect\r\n  ref=default\r\nend\r\n";
  }
  return text;
}

const std::string& Show() {
  static const std::string text = MakeShow(kSlides);
  return text;
}

TRef<TIniFile> ParseShow() {
  auto model = MakeRef<TIniFile>();
  model->LoadFromUtf8(Show());
  return model;
}

// Parse the project text and build the source.
void BM_OpenShow2000(benchmark::State& state) {
  for (auto _ : state) {
    auto source = MakeRef<TVyrSource>(ParseShow());
    benchmark::DoNotOptimize(source->Length());
  }
}
BENCHMARK(BM_OpenShow2000)->Unit(benchmark::kMillisecond);

// The source alone, from an already loaded model.
void BM_BuildSource2000(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TRef<TIniFile> model = ParseShow();
    state.ResumeTiming();
    auto source = MakeRef<TVyrSource>(model);
    benchmark::DoNotOptimize(source->Length());
    state.PauseTiming();
    source.Reset();
    model.Reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildSource2000)->Unit(benchmark::kMillisecond);

// Every slide's transition once, in order, as a show plays through.
void BM_EffectsOfAllSlides2000(benchmark::State& state) {
  auto source = MakeRef<TVyrSource>(ParseShow());
  for (auto _ : state) {
    for (int i = 0; i < kSlides; ++i) benchmark::DoNotOptimize(source->Effect(i).duration);
  }
}
BENCHMARK(BM_EffectsOfAllSlides2000)->Unit(benchmark::kMillisecond);

// slide-at over a long show, far into later passes.
void BM_SlideAt(benchmark::State& state) {
  auto source = MakeRef<TVyrSource>(ParseShow());
  double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(source->SlideAt(t));
    t += 7919.5;
  }
}
BENCHMARK(BM_SlideAt);

}  // namespace

BENCHMARK_MAIN();
