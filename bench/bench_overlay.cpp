// The overlay at 1920 x 1080, headless: whole frames of a flat slide with and without an
// overlay whose video-style bar moves its slider every frame (its time display changes once
// per second), the upload of the changed bar included; one skin-bar hover change; and the
// first build of either bar. The bars' pictures are drawn in memory.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "imaging/bitmap/pixel_format.h"
#include "imaging/bitmap/png_writer.h"
#include "package/access/loose_file_sources.h"
#include "player/overlay/bar_pixels.h"
#include "player/overlay/nav_bar.h"
#include "player/overlay/third_slide.h"
#include "player/overlay/video_nav_bar.h"
#include "render/compose/t3d_drawer.h"
#include "render/device/headless_draw_device.h"

namespace vyr {
namespace {

constexpr int kW = 1920, kH = 1080;

TRef<TBitmap> Picture(int w, int h, uint32_t argb) {
  auto bitmap = MakeRef<TDirectBitmap>(w, h, pf::A8R8G8B8());
  bitmap->FillRect(TRect{0, 0, w, h}, argb);
  return bitmap;
}

const char* kVideoBar =
    "[Common]\nVideoStyle=1\nflnm_back=back.png\nBgLeft=12\nBgRight=12\nTrackLineLeft=3\n"
    "TrackLineRight=3\n[Pixel positions]\nBarSize=600,36\nBtnSize=28,28\nDigitSize=8,14\n"
    "TrackHeight=6\nVolumeControlLength=80\nLeftSpace=8\nButtonsTrackSpace=10\n"
    "TrackDigitsSpace=8\nDigitsSoundBtnSpace=8\nSoundBtnTrackSpace=6\nRightSpace=12\n"
    "[Trackbar]\nflnm_Line=line.png\nflnm_Polzun=slider.png\n"
    "[Buttons]\nflnm_Normal=strip.png\nflnm_Hover=strip.png\nflnm_Click=strip.png\n";

std::string SkinBarText() {
  std::string text =
      "[Common]\nColsCount=3\nRowsCount=1\n[CellWithObjects]\nCell=2,1\nLeftOffset=10\n"
      "TopOffset=4\nRightOffset=10\nBottomOffset=4\n[Cell(1:1)]\nBounds=0,0,16,48\n"
      "flnm_Texture=cells\n[Cell(2:1)]\nBounds=16,0,8,48\nflnm_Texture=cells\n"
      "[Cell(3:1)]\nBounds=24,0,16,48\nflnm_Texture=cells\n[Objects]\nCount=5\n";
  for (const char* name : {"home", "backward", "pause", "forward", "exit"})
    text += std::string("[Action-") + name +
            "]\nBtnTextureNormalBounds=0,0,32,32\nflnm_BtnTextureNormal=icons\n"
            "BtnTextureHoverBounds=0,32,32,32\nBgTextureNormalBounds=0,0,40,40\n"
            "flnm_BgTextureNormal=bg\nBgTextureHoverBounds=40,0,40,40\n";
  return text;
}

void Attach(TCustomNavBar& bar) {
  bar.callbacks.loadPicture = [](TCustomNavBar&, const std::string& name) -> TRef<TBitmap> {
    static const std::map<std::string, std::pair<int, int>> sizes = {
        {"back", {64, 36}},  {"line", {24, 6}},    {"slider", {14, 14}}, {"strip", {196, 28}},
        {"cells", {40, 48}}, {"icons", {160, 64}}, {"bg", {80, 40}}};
    const size_t from = name.find('/') + 1;
    const auto it = sizes.find(name.substr(from, name.find('.', from) - from));
    return it == sizes.end() ? Picture(2, 2, 0xFF808080)
                             : Picture(it->second.first, it->second.second, 0xC0406080);
  };
  bar.callbacks.getDuration = [](TCustomNavBar&) { return 600000.0; };
  bar.callbacks.isPlaying = [](TCustomNavBar&) { return true; };
}

TRef<TVideoNavBar> BuildVideoBar() {
  auto bar = MakeRef<TVideoNavBar>();
  Attach(*bar);
  auto description = MakeRef<TIniFile>();
  description->LoadFromUtf8(kVideoBar);
  bar->LoadSkin(description, "nav/");
  bar->SetBarWidth(kW);
  bar->SetBarScale(1);
  bar->SetButtons({0, 1});
  bar->Refresh(0);
  bar->ShowVolume(0.8);
  return bar;
}

TRef<TNavBar> BuildSkinBar() {
  auto bar = MakeRef<TNavBar>();
  Attach(*bar);
  bar->showBackground = true;
  bar->hue = 60;
  auto description = MakeRef<TIniFile>();
  description->LoadFromUtf8(SkinBarText());
  bar->LoadSkin(description, "skin/");
  bar->SetButtons({0, 1, 2, 3, 4});
  bar->Refresh(0);
  return bar;
}

class TFlatSlide : public TDrawItem {
 public:
  void Draw(TDeviceDrawer& drawer) override {
    drawer.DrawColourBox(TPlacement{}, TFloatRect{0, 0, kW, kH}, 0xFF305070, 0xFF305070,
                         TBoxFill::Solid, 100, false);
  }
};

struct TFrameRig {
  TRef<THeadlessDrawDevice> device = MakeRef<THeadlessDrawDevice>(kW, kH);
  TRef<T3DDrawer> drawer = MakeRef<T3DDrawer>();
  TRef<TRootItem> root = MakeRef<TRootItem>();
  bool Ready() {
    drawer->Attach(device.Get());
    drawer->SetCaptureMode(true);
    return drawer->Screen().Renderer() != nullptr;
  }
};

// A show folder on disk holding the video-style bar's description and pictures.
std::string BarFolder() {
  static const std::string folder = [] {
    const auto path = std::filesystem::temp_directory_path() / "vyr_bench_overlay";
    std::filesystem::create_directories(path / "nav");
    std::ofstream(path / "nav" / "bar.ini") << kVideoBar;
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"back", {64, 36}}, {"line", {24, 6}}, {"slider", {14, 14}}, {"strip", {196, 28}}};
    std::string error;
    for (const auto& [name, size] : sizes)
      WritePng(*Picture(size.first, size.second, 0xC0406080),
               (path / "nav" / (name + ".png")).string(), error);
    return path.string() + "/";
  }();
  return folder;
}

// state.range(0): 0 a frame whose overlay has no panel, 1 with the video-style bar moving.
void BM_OverlayFrame1080p(benchmark::State& state) {
  TFrameRig rig;
  if (!rig.Ready()) return state.SkipWithError("no headless OpenGL");
  TRef<TDrawItem> slide = MakeRef<TFlatSlide>();
  const std::string folder = BarFolder();
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8(
      "[Main]\nopt_fcp=1\nopt_nav_inifile=nav/bar.ini\nopt_newnavbuttons_count=2\n"
      "opt_newnavbutton1=backward\nopt_newnavbutton2=forward\n");
  TOverlayParams params;
  params.accessor = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(folder), folder);
  params.project = project;
  params.root = rig.root.Get();
  params.slideRect = {0, 0, kW, kH};
  params.windowSize = {kW, kH};
  params.slideSize = {kW, kH};
  params.noPanel = state.range(0) == 0;
  params.showDuration = 600000;
  params.callbacks.isPlaying = [] { return true; };
  TRef<TThirdSlide> overlay = BuildOverlay(params);
  if (state.range(0) == 1 && !(overlay->Panel() && overlay->Panel()->Bar()))
    return state.SkipWithError("the bar was not built");
  rig.root->SetItems({slide, overlay});
  rig.drawer->DrawItem(*rig.root);
  double time = 0;
  for (auto _ : state) {
    time += 20;  // 50 frames per second: the slider moves every frame on a 600 s show
    overlay->UpdateFrame(time);
    rig.drawer->DrawItem(*rig.root);
    benchmark::DoNotOptimize(rig.drawer->Capture());
  }
}
BENCHMARK(BM_OverlayFrame1080p)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SkinBarHoverChange(benchmark::State& state) {
  TRef<TNavBar> bar = BuildSkinBar();
  const TNavObject& first = bar->Objects().front();
  int i = 0;
  for (auto _ : state) {
    const int x = (i++ & 1) ? first.x + 2 : bar->BarWidth() + 50;
    bar->MouseEvent(0, 0, kNavMove, first.y + 2, x);
  }
}
BENCHMARK(BM_SkinBarHoverChange)->Unit(benchmark::kMicrosecond);

void BM_FirstBuildOfTheBars1080p(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildVideoBar());
    benchmark::DoNotOptimize(BuildSkinBar());
  }
}
BENCHMARK(BM_FirstBuildOfTheBars1080p)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();
