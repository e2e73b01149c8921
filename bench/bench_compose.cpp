// Frame composition at 1920 x 1080, headless: two 24-megapixel JPEG slides (made with
// ffmpeg at start) joined by a cross-fade (argument 0) or a circle wipe (1), every frame read back,
// steady state after the pictures are on their texture pages; and the same cross-fade made by
// ffmpeg's xfade filter from the decoded pictures, for the ratio of frames per second.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/decode/decoder_registry.h"
#include "render/compose/overlay_draw_list.h"
#include "render/compose/root_item.h"
#include "render/compose/t3d_drawer.h"
#include "render/device/headless_draw_device.h"

namespace vyr {
namespace {

constexpr int kW = 1920, kH = 1080;
constexpr int kPictureW = 6000, kPictureH = 4000;
// The picture fitted into the frame: 1620 x 1080 in the middle.
constexpr float kFitW = kPictureW * static_cast<float>(kH) / kPictureH;
constexpr float kFitLeft = (kW - kFitW) / 2;
constexpr double kFrames = 50;

std::filesystem::path WorkFolder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / "vyr_bench_compose";
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// A 24-megapixel JPEG of an ffmpeg test pattern; empty when ffmpeg is missing.
std::string MakeJpeg(const std::string& name, const std::string& source) {
  const std::string path = (WorkFolder() / name).string();
  if (!std::filesystem::exists(path) && !Run("ffmpeg -v error -y -f lavfi -i " + source +
                                             "=size=6000x4000 -frames:v 1 -q:v 3 " + path))
    return {};
  return path;
}

class TPictureSlide : public TDrawItem {
 public:
  explicit TPictureSlide(TRef<TImage> image) : image_(std::move(image)) {}
  void Draw(TDeviceDrawer& drawer) override {
    TImageDrawParams p;
    p.placement.origin = TVec3{kFitLeft, 0, 0};
    p.pivotRect = TFloatRect{0, 0, kFitW, static_cast<float>(kH)};
    p.reductionLevel = 1;  // 3000 px wide covers the 1620 px needed x 1.3333
    drawer.DrawImage(*image_, p);
  }

 private:
  TRef<TImage> image_;
};

// state.range(0): 0 cross-fade, 1 growing circle.
TRef<TVyrEffect> Effect(int kind) {
  TRef<TVyrEffect> effect = MakeRef<TVyrEffect>();
  if (kind == 1) {
    effect->type = TEffectType::Shapes;
    effect->flags = {0, 1, 1, 0, 0};  // grow; circle
  }
  return effect;
}

void BM_ComposeTransition1080p(benchmark::State& state) {
  const std::string a = MakeJpeg("a.jpg", "testsrc2"), b = MakeJpeg("b.jpg", "smptehdbars");
  if (a.empty() || b.empty()) return state.SkipWithError("ffmpeg could not make the pictures");
  TRef<TImage> first = OpenPicture(a), second = OpenPicture(b);
  if (!first || !second) return state.SkipWithError("pictures not decoded");
  TRef<THeadlessDrawDevice> device = MakeRef<THeadlessDrawDevice>(kW, kH);
  TRef<T3DDrawer> drawer = MakeRef<T3DDrawer>();
  drawer->Attach(device.Get());
  if (!drawer->Screen().Renderer()) return state.SkipWithError("no headless OpenGL");
  drawer->SetCaptureMode(true);
  TRef<TRootItem> root = MakeRef<TRootItem>();
  root->SetItems({MakeRef<TPictureSlide>(first), MakeRef<TPictureSlide>(second),
                  MakeRef<TOverlayDrawList>(root.Get())});
  root->SetBackground(true, 0);
  TRef<TVyrFilter> filter =
      MakeRef<TVyrFilter>(Effect(static_cast<int>(state.range(0))), 1000, 0.01f);
  root->SetFilter(filter);
  drawer->DrawItem(*root);  // the pictures go onto their pages
  double time = 0;
  for (auto _ : state) {
    time = time >= 990 ? 10 : time + 10;
    filter->SetCurrentTime(time);
    drawer->DrawItem(*root);
    benchmark::DoNotOptimize(drawer->Capture());
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposeTransition1080p)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// ffmpeg's xfade over the two pictures decoded and fitted once (raw frames), 50 frames per
// run written as raw video.
void BM_FfmpegXfade1080p(benchmark::State& state) {
  const std::string a = MakeJpeg("a.jpg", "testsrc2"), b = MakeJpeg("b.jpg", "smptehdbars");
  if (a.empty() || b.empty()) return state.SkipWithError("ffmpeg could not make the pictures");
  const std::string fit = " -vf scale=1620:1080,pad=1920:1080:150:0 -pix_fmt bgra -f rawvideo ";
  const std::string rawA = (WorkFolder() / "a.raw").string(),
                    rawB = (WorkFolder() / "b.raw").string();
  if (!Run("ffmpeg -v error -y -i " + a + fit + rawA) ||
      !Run("ffmpeg -v error -y -i " + b + fit + rawB))
    return state.SkipWithError("ffmpeg could not decode the pictures");
  const std::string input =
      " -f rawvideo -pix_fmt bgra -s 1920x1080 -framerate 50 "
      "-stream_loop -1 -i ";
  const std::string command = "ffmpeg -v error -y" + input + rawA + input + rawB +
                              " -filter_complex xfade=transition=fade:duration=1:offset=0"
                              " -frames:v 50 -f rawvideo /dev/null";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (!Run(command)) return state.SkipWithError("ffmpeg xfade failed");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
  }
  state.counters["fps"] = benchmark::Counter(kFrames * static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FfmpegXfade1080p)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();
