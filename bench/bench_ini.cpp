// INI parsing throughput on a generated project, and typed lookups per second.
#include <benchmark/benchmark.h>

#include <string>

#include "project/ini/ini.h"

namespace {

using namespace vyr;

// A project of slides, each with keys and nested object blocks, as the authoring tool writes it.
std::string MakeProject(int slides) {
  std::string text = "\xEF\xBB\xBF[Main]\r\nopt_scr_width=1920\r\nopt_scr_height=1080\r\n";
  text += "SlideCount=" + std::to_string(slides) + "\r\n\r\n";
  for (int s = 0; s < slides; ++s) {
    const std::string n = std::to_string(s);
    text += "[Slide" + n + "]\r\n";
    text += "Time=5000\r\nEffect=Fade\r\nEffectTime=1200\r\n; slide " + n + "\r\n";
    for (int o = 0; o < 4; ++o) {
      const std::string on = std::to_string(o);
      text += "object Pic" + on + ":Picture\r\n";
      text += "  FileName=C:\\Shows\\Pictures\\slide" + n + "_" + on + ".jpg\r\n";
      text += "  PosX=12.5\r\n  PosY=-3.25\r\n  Scale=100\r\n  Angle=0\r\n  Visible=1\r\n";
      text += "  object Key" + on + ":KeyFrame\r\n";
      text += "    Time=0\r\n    PosX=0\r\n    Opacity=100\r\n";
      text += "    object Curve:Curve\r\n      Points=0,0;50,80;100,100\r\n    end\r\n";
      text += "  end\r\n";
      text += "end\r\n";
    }
    text += "\r\n";
  }
  return text;
}

const std::string& Project() {
  static const std::string text = MakeProject(2000);
  return text;
}

void BM_ParseProject(benchmark::State& state) {
  const std::string& text = Project();
  for (auto _ : state) {
    auto file = MakeRef<TIniFile>();
    file->LoadFromBytes(text);
    benchmark::DoNotOptimize(file->Count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ParseProject)->Unit(benchmark::kMillisecond);

void BM_SaveProject(benchmark::State& state) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromBytes(Project());
  for (auto _ : state) benchmark::DoNotOptimize(file->SaveToBytes(true).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(Project().size()));
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

// One slide's worth of typed reads: section, key, block, nested block, key.
void BM_TypedLookups(benchmark::State& state) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromBytes(Project());
  std::vector<std::string> sections;
  for (int s = 0; s < 2000; ++s) sections.push_back("slide" + std::to_string(s));
  // Build every name index before measuring, as the show source does when it opens.
  for (const auto& name : sections) FindObject(FindSection(file.Get(), name), "Pic0");
  size_t i = 0;
  int64_t lookups = 0;
  for (auto _ : state) {
    const TIniSection* slide = FindSection(file.Get(), sections[i++ % sections.size()]);
    int64_t sum = ReadInt(FindKey(slide, "Time"), 0);
    const TIniObject* pic = FindObject(slide, "Pic2");
    sum += static_cast<int64_t>(ReadFloat(FindKey(pic, "PosX"), 0));
    sum += ReadBool(FindKey(pic, "Visible"), false);
    sum += ReadInt(FindKey(FindObject(pic, "Key2"), "Opacity"), 0);
    benchmark::DoNotOptimize(sum);
    lookups += 7;
  }
  state.counters["lookups/s"] =
      benchmark::Counter(static_cast<double>(lookups), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TypedLookups);

}  // namespace

BENCHMARK_MAIN();
