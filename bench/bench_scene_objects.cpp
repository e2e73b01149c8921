// The scene tree of a 200-object slide: building it from its section, reusing it on a second
// load, and laying out all objects at a new time.

#include <benchmark/benchmark.h>

#include <string>

#include "package/access/file_accessor.h"
#include "package/access/loose_file_sources.h"
#include "project/ini/ini.h"
#include "scene/host/slide_host.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {
namespace {

constexpr int kObjects = 200;

// 20 frames of 9 boxes each (200 objects), every one with three keyframes.
TRef<TIniFile> MakeProject() {
  std::string text = "[Main]\n[Times]\nopt_slidescount=1\nopt_synchpos1=10000\n[Slide1]\n";
  text += "object Root:Root\n";
  int n = 0;
  auto keys = [](int i) {
    const std::string a = std::to_string(i % 90);
    return "object k:KeyPoint\nTime=0\nPosition=" + a + ",-" + a + "\nOpacity=100\nend\n" +
           "object k:KeyPoint\nTime=4000\nAngle=" + a + "\nScaleX=150\nAngleY=20\nend\n" +
           "object k:KeyPoint\nTime=9000\nPosition=-" + a + "," + a + "\nOpacity=40\nend\n";
  };
  for (int f = 0; f < kObjects / 10; ++f) {
    text += "object frame" + std::to_string(f) + ":Frame\nGUID={F" + std::to_string(++n) +
            "}\nSize=400,300\n" + keys(f);
    for (int b = 0; b < 9; ++b)
      text += "object box:Box\nGUID={B" + std::to_string(++n) +
              "}\nSize=40,30\nColor1=200,10,10\n" + keys(b) + "end\n";
    text += "end\n";
  }
  text += "end\n";
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8(text);
  return project;
}

struct TBenchSlide {
  TRef<TIniFile> project = MakeProject();
  TRef<TVyrSlideHost> host = MakeRef<TVyrSlideHost>(
      MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(), "/tmp/"), THostSettings{});
  TRef<TVyrSlide> slide;

  TBenchSlide() {
    host->SetFrameSize(1920, 1080);
    NewSlide();
  }
  void NewSlide() {
    slide = MakeRef<TVyrSlide>(host, nullptr, false);
    slide->SetOwnSize(1920, 1080);
    slide->SetReferenceOrigin(960, 540);
  }
  void Build() {
    slide->BuildFromSection(FindSection(project.Get(), "Main"),
                            FindSection(project.Get(), "Slide1"), false, 1000, 0, 1000, 0, 0, false,
                            FindSection(project.Get(), "Times"));
  }
};

void BuildSlide(benchmark::State& state) {
  TBenchSlide bench;
  for (auto _ : state) {
    bench.NewSlide();
    bench.Build();
    benchmark::DoNotOptimize(bench.slide->ChildCount());
  }
  state.counters["objects"] = kObjects;
}
BENCHMARK(BuildSlide)->Unit(benchmark::kMillisecond);

void ReloadSlide(benchmark::State& state) {
  TBenchSlide bench;
  bench.Build();
  for (auto _ : state) {
    bench.Build();  // the same section again: every object is reused
    benchmark::DoNotOptimize(bench.slide->ChildCount());
  }
}
BENCHMARK(ReloadSlide)->Unit(benchmark::kMillisecond);

void LayoutAtNewTime(benchmark::State& state) {
  TBenchSlide bench;
  bench.Build();
  double t = 0;
  for (auto _ : state) {
    t = t + 16.7 > 10000 ? 0 : t + 16.7;
    bench.slide->Advance(true, t);
    benchmark::DoNotOptimize(bench.slide->IsChanged());
    bench.slide->CommitState(true);
  }
}
BENCHMARK(LayoutAtNewTime)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vyr
BENCHMARK_MAIN();
