// Drop shadows and button pictures: generating the shadow of a full-HD text picture, the
// picture cache answering an equal shadow name again, and composing button pictures.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/png_writer.h"
#include "imaging/text/text_description.h"
#include "imaging/text/text_picture.h"
#include "package/access/file_accessor.h"
#include "package/access/loose_file_sources.h"
#include "scene/button/button_producer.h"
#include "scene/shadow/shadow_generator.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;

// A private folder for the bench's files, removed at exit.
struct TBenchFolder {
  fs::path path;
  TBenchFolder() {
    std::string pattern = (fs::temp_directory_path() / "vyrbench-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~TBenchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

TBenchFolder& Folder() {
  static TBenchFolder folder;
  return folder;
}

TRef<TFileAccessor> Files() {
  static TRef<TFileAccessor> files = MakeRef<TFileAccessor>(
      MakeRef<TRealFileSource>(Folder().path.string()), Folder().path.string());
  return files;
}

// Six lines of text on a transparent 1920 x 1080 picture, served under "text.pic".
constexpr const char* kTextPicture = "text.pic";
void ServeTextPicture() {
  static TRef<TCallbackHandle> handle = [] {
    TTextParams params;
    params.scale = 1.0 / 12;  // an em of about 170 pixels
    TRef<TImage> text = OpenTextPicture(
        FormatTextDescription(params, {"Drop shadows", "under every", "line of text", "and",
                                       "every button", "of the show"}),
        {});
    TRef<TBitmap> full = CreateSysBitmap(1920, 1080, pf::A8R8G8B8());
    full->CopyRect({0, 0, 1920, 1080}, *text->Bitmap(), {0, 0});
    auto picture = MakeRef<TImage>(MakeRef<TWrapperBitmapStore>(kTextPicture, nullptr, full));
    TFileAccessor* files = Files().Get();
    return Files()->RegisterPictureProvider([picture, files](const std::string& name) {
      if (name == kTextPicture) return picture;
      return ProduceShadowPicture(name, files);
    });
  }();
}

TShadowParams TextShadow() {
  TShadowParams p;
  p.pictureName = kTextPicture;
  p.right = 1920;
  p.bottom = 1080;
  p.blur = 50;
  return p;
}

void BM_ShadowOfFullHdText(benchmark::State& state) {
  ServeTextPicture();
  const TShadowParams params = TextShadow();
  for (auto _ : state) {
    TShadowGenerator generator;
    TRef<TImage> shadow = generator.Generate(params, Files().Get());
    benchmark::DoNotOptimize(shadow.Get());
  }
}
BENCHMARK(BM_ShadowOfFullHdText)->Unit(benchmark::kMillisecond);

// While one object holds the shadow, every equal name is answered by the picture cache.
void BM_ShadowEqualNameCached(benchmark::State& state) {
  ServeTextPicture();
  const std::string name = ShadowPictureName(TextShadow());
  const uint64_t before = ShadowGenerationCount();
  TRef<TImage> held = Files()->OpenPicture(name);
  for (auto _ : state) {
    TRef<TImage> again = Files()->OpenPicture(name);
    benchmark::DoNotOptimize(again.Get());
  }
  state.counters["generations"] = static_cast<double>(ShadowGenerationCount() - before);
}
BENCHMARK(BM_ShadowEqualNameCached)->Unit(benchmark::kMicrosecond);

// A 60 x 40 theme with 10-pixel edges; each state its own pieces.
TButtonProducerHost& ButtonHost() {
  static TButtonProducerHost* host = [] {
    const fs::path folder = Folder().path / "themes" / "bench";
    fs::create_directories(folder);
    std::ofstream ini(folder / "btn.ini");
    const char* sections[] = {"NormalState", "HoverState", "ClickState"};
    for (int s = 0; s < 3; ++s) {
      const std::string f = std::to_string(s) + ".png";
      ini << "[" << sections[s] << "]\n"
          << "LeftTop=" << f << ",0,0,10,10\nTop=" << f << ",10,0,50,10\nRightTop=" << f
          << ",50,0,60,10\nRight=" << f << ",50,10,60,30\nRightBottom=" << f
          << ",50,30,60,40\nBottom=" << f << ",10,30,50,40\nLeftBottom=" << f
          << ",0,30,10,40\nLeft=" << f << ",0,10,10,30\nCenter=" << f << ",10,10,50,30\n";
      TRef<TBitmap> piece = CreateSysBitmap(60, 40, pf::A8R8G8B8());
      piece->FillRect({0, 0, 60, 40}, 0xFF204080u + static_cast<uint32_t>(s) * 0x200000u);
      std::string error;
      WritePng(*piece, (folder / f).string(), error);
    }
    ini.close();
    auto* made = new TButtonProducerHost((Folder().path / "themes").string() + "/");
    std::string theme = "bench";
    made->LoadTheme(*Files(), theme);
    return made;
  }();
  return *host;
}

void BM_ButtonPicture600(benchmark::State& state) {
  TButtonProducerHost& host = ButtonHost();
  const TButtonPictureRequest request{
      "bench", static_cast<int>(state.range(0)), 600, state.range(1) ? 30 : 0, 0, 0};
  const std::string name = ButtonPictureName(request);
  for (auto _ : state) {
    TRef<TImage> picture = ProduceButtonPicture(name, host, *Files());
    benchmark::DoNotOptimize(picture.Get());
  }
}
BENCHMARK(BM_ButtonPicture600)
    ->ArgNames({"state", "hue"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();
