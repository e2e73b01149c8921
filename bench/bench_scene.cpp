// The animation's hot paths: easing curves, compiled expressions (against muparser's
// Eval on the same expressions in the same run) and colour-filter tables.

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <chrono>

#include "project/ini/ini.h"
#include "scene/animation/cubic_bezier.h"
#include "scene/expressions/program.h"
#include "scene/filters/colour_filters.h"
#include "scene/filters/colour_lut.h"
#include "scene/object_props.h"

namespace vyr {
namespace {

// A typical easing modifier and a long expression.
const char* const kEaseOurs = "0.5-Cos(T*Pi)/2";
const char* const kEaseMu = "0.5-cos(T*PI)/2";
const char* const kLongOurs =
    "Sin(T*2*Pi)*0.25+Sqrt(Abs(U-T))*Power(T+1,1.5)-ArcTan2(U,T+0.5)/3+Lerp(U,T,0.3)*(T-U)/"
    "(1+T*T)+Cos(U*T)";
const char* const kLongMu =
    "sin(T*2*PI)*0.25+sqrt(abs(U-T))*(T+1)^1.5-atan2(U,T+0.5)/3+((U)+((T)-(U))*(0.3))*(T-U)/"
    "(1+T*T)+cos(U*T)";

class TBenchNames : public TCalcResolver {
 public:
  TRef<TParamValue> t = MakeRef<TParamValue>("T");
  TRef<TParamValue> u = MakeRef<TParamValue>("U", 0.7);
  TRef<TCalcFunc> Resolve(std::string_view name) override {
    return name == "T" ? TRef<TCalcFunc>(t) : name == "U" ? TRef<TCalcFunc>(u) : nullptr;
  }
};

void CompiledExpression(benchmark::State& state, const char* text) {
  TBenchNames names;
  TCalcCmdList program;
  if (!program.Compile(text, &names)) state.SkipWithError("does not compile");
  TCalcStack stack;
  double t = 0;
  for (auto _ : state) {
    names.t->SetValue(t);
    benchmark::DoNotOptimize(program.Run(stack));
    t += 0.0001;
    if (t > 1) t = 0;
  }
  state.counters["evals/s"] = benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}

void MuparserExpression(benchmark::State& state, const char* text) {
  double t = 0, u = 0.7;
  mu::Parser parser;
  parser.DefineVar("T", &t);
  parser.DefineVar("U", &u);
  parser.DefineConst("PI", 3.141592653589793);
  parser.SetExpr(text);
  for (auto _ : state) {
    benchmark::DoNotOptimize(parser.Eval());
    t += 0.0001;
    if (t > 1) t = 0;
  }
  state.counters["evals/s"] = benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}

// Both evaluators in the same loop: counters "ratio" = our time / muparser's time.
void ExpressionRatio(benchmark::State& state, const char* ours, const char* mu) {
  TBenchNames names;
  TCalcCmdList program;
  if (!program.Compile(ours, &names)) state.SkipWithError("does not compile");
  TCalcStack stack;
  double t = 0, u = 0.7;
  mu::Parser parser;
  parser.DefineVar("T", &t);
  parser.DefineVar("U", &u);
  parser.DefineConst("PI", 3.141592653589793);
  parser.SetExpr(mu);
  using Clock = std::chrono::steady_clock;
  Clock::duration oursTime{}, muTime{};
  double sink = 0;
  for (auto _ : state) {
    const auto a = Clock::now();
    for (int i = 0; i < 1000; ++i) {
      names.t->SetValue(i * 0.001);
      sink += program.Run(stack);
    }
    const auto b = Clock::now();
    for (int i = 0; i < 1000; ++i) {
      t = i * 0.001;
      sink += parser.Eval();
    }
    oursTime += b - a;
    muTime += Clock::now() - b;
  }
  benchmark::DoNotOptimize(sink);
  state.counters["ratio"] = double(oursTime.count()) / double(muTime.count());
  state.counters["ns/eval"] =
      std::chrono::duration<double, std::nano>(oursTime).count() / (state.iterations() * 1000.0);
}
BENCHMARK_CAPTURE(ExpressionRatio, ease, kEaseOurs, kEaseMu);
BENCHMARK_CAPTURE(ExpressionRatio, long, kLongOurs, kLongMu);

BENCHMARK_CAPTURE(CompiledExpression, ease, kEaseOurs);
BENCHMARK_CAPTURE(MuparserExpression, ease, kEaseMu);
BENCHMARK_CAPTURE(CompiledExpression, long, kLongOurs);
BENCHMARK_CAPTURE(MuparserExpression, long, kLongMu);
// The easing curve with constant control points becomes a piece table.
BENCHMARK_CAPTURE(CompiledExpression, qspline_table, "QSplineGraph(T,0.42,0,0.58,1)");
BENCHMARK_CAPTURE(CompiledExpression, qspline_solved, "QSplineGraph(T,0.42,0,0.58,U+0.3)");

void CurveSolveY(benchmark::State& state) {
  const TCubicBezier curve({0.42f, 0}, {0.58f, 1});
  double x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(curve.SolveY(1e-6, x));
    x += 0.0001;
    if (x > 1) x = 0;
  }
  state.counters["evals/s"] = benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(CurveSolveY);

void CurveLookupY(benchmark::State& state) {
  TCubicBezier curve({0.42f, 0}, {0.58f, 1});
  curve.BuildPieces(1e-6);
  double x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(curve.LookupY(x));
    x += 0.0001;  // frame after frame: nearby x
    if (x > 1) x = 0;
  }
  state.counters["evals/s"] = benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(CurveLookupY);

// A 32 x 32 x 32 cube through five filters.
void FilterCube(benchmark::State& state) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(
      "[S]\n"
      "object Levels:Filter\nMin=10\nMed=20\nMax=240\nend\n"
      "object BrightContrast:Filter\nbright=10\ncontrast=30\nend\n"
      "object Colorization:Filter\nAmount=40\nColor=#C08040\nend\n"
      "object HSL:Filter\nHue=30\nSaturation=-20\nLightness=5\nend\n"
      "object Invert:Filter\nend\n");
  TRef<TObjectFilter> chain;
  for (TIniObject* object : FindSection(file.Get(), "S")->Objects())
    PushFilter(chain, CreateColourFilter(*object));
  for (auto _ : state) {
    TColorLut lut = BuildFilterTable(chain.Get(), TLutForm::kCross);
    benchmark::DoNotOptimize(lut.Entry(0, 0));
  }
}
BENCHMARK(FilterCube)->Unit(benchmark::kMicrosecond);

// A slide of 1,000 objects, each with 8 keyframes carrying 2 modifiers: all 15
// values of every object at a new time, as each frame does.
void EvaluateSlide(benchmark::State& state) {
  std::string text = "[Slide]\nobject Root:Root\n";
  for (int o = 0; o < 1000; ++o) {
    text += "object Pic:Image\nGUID={" + std::to_string(o) + "}\n";
    for (int k = 0; k < 8; ++k) {
      const std::string v = std::to_string((o * 7 + k * 13) % 100);
      text += "object k:KeyPoint\nTime=" + std::to_string(k * 1000) + "\nPosition=" + v + "," + v +
              "\nZPos=" + v + "\nOpacity=" + v + "\nScaleX=" + v + "\nScaleY=" + v +
              "\nAngle=" + v + "\nCenterPos=" + v + "," + v + "\nZoom=1" + v + "\nOffsX=" + v +
              "\nobject m:Mod\nfn=0.5-Cos(T*Pi)/2\ndst=Pos.T\nend\n"
              "object m:Mod\nfn=value+Sin(Scale.T*Pi)*10\ndst=Opacity\nend\nend\n";
    }
    text += "end\n";
  }
  text += "end\n";
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(text);
  auto root = MakeRef<TVyrObjectProps>();
  root->Load(FindSection(file.Get(), "Slide")->Objects()[0], {8000, 500, 500});
  double t = 0;
  for (auto _ : state) {
    root->Evaluate(true, t);
    benchmark::DoNotOptimize(root->Child(999)->AnimatedValue(0));
    t += 16.7;
    if (t > 8000) t = 0;
  }
}
BENCHMARK(EvaluateSlide)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();
