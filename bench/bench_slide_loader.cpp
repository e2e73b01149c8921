// The slide loader keeping three slides of 24-megapixel JPEGs prepared at 1920 x 1080: time
// from the first request until the first slide is ready, against decoding its picture alone
// at the level the slide needs; untagged, and tagged with a profile the show converts. The
// pictures are written once by ImageMagick into a temporary folder.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "imaging/decode/decoder_registry.h"
#include "package/access/show_opener.h"
#include "player/loader/layout_only_drawer.h"
#include "player/loader/slide_loader.h"
#include "player/loader/slide_producer.h"

namespace {

using namespace vyr;
using Clock = std::chrono::steady_clock;

const std::string kConvert = "/usr/bin/convert";

std::string Dir() {
  static const std::string dir = [] {
    auto d = std::filesystem::temp_directory_path() / "vyr_bench_slide_loader";
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir;
}

// Three slides of 4 s, each a 6000 x 4000 photograph-like JPEG fitted into the frame; tagged:
// the photos carry the Adobe RGB (1998) profile and the show converts them to sRGB.
std::string ShowProject(bool tagged = false) {
  const std::string prefix = tagged ? "/tagged" : "/photo";
  const std::string photo = Dir() + prefix + "1.jpg";
  if (!std::filesystem::exists(photo)) {
    const std::string profile =
        tagged ? " -profile /usr/share/color/icc/colord/AdobeRGB1998.icc" : std::string();
    const std::string make = kConvert +
                             " rose: -resize 6000x4000! -attenuate 0.4 +noise Gaussian "
                             "-quality 90" +
                             profile + " " + photo + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return {};
  }
  for (const char* copy : {"2.jpg", "3.jpg"})
    if (!std::filesystem::exists(Dir() + prefix + copy))
      std::filesystem::copy_file(photo, Dir() + prefix + copy);
  const std::string project = Dir() + (tagged ? "/Tagged.vyr" : "/Project.vyr");
  std::ofstream out(project, std::ios::trunc);
  out << "[Main]\nopt_scr_width=1920\nopt_scr_height=1080\n"
      << (tagged ? "ColorManagement=sRGB\n" : "")
      << "[Times]\nopt_slidescount=3\nopt_synchpos1=4000\nopt_synchpos2=8000\n"
      << "opt_synchpos3=12000\n";
  for (int k = 1; k <= 3; ++k)
    out << "[Slide" << k << "]\nobject Root:Root\nobject pic:Image\nGUID={pic-" << k
        << "}\nImageName=" << prefix.substr(1) << k
        << ".jpg\nobject k:KeyPoint\nTime=0\nend\nend\nend\n";
  return project;
}

// Collects the pictures a slide prepares with their levels; Decode then decodes each at its
// level, as the drawer does before uploading.
class TDecodingDrawer : public TLayoutOnlyDrawer {
 public:
  void PrepareImage(TImage& image, const TImageDrawParams& params) override {
    requests_.push_back({TRef<TImage>::Share(&image), params.reductionLevel});
  }
  void Forget() { requests_.clear(); }
  // The level of the last picture decoded.
  int Decode() {
    int level = 0;
    for (const auto& [image, requested] : requests_) {
      benchmark::DoNotOptimize(image->Store().GetMipLevel(requested).Get());
      level = requested;
    }
    requests_.clear();
    return level;
  }

 private:
  std::vector<std::pair<TRef<TImage>, int>> requests_;
};

struct TLoaderRun {
  double firstMs = 0;
  double threeMs = 0;
  int level = 0;
};

TLoaderRun RunLoader(const std::string& project) {
  const TOpenedShow show = OpenShow(project);  // a new file source: nothing cached yet
  auto source = MakeRef<TVyrSource>(show.project);
  auto producer = MakeRef<TSlideProducer>(source, MakeShowHost(*source, show.accessor));
  auto loader = MakeRef<TVyrSlideLoader>(source, producer, 3, TIntSize{1920, 1080});
  loader->SetBuildSize({1920, 1080}, false);
  loader->Clock().SetCurrentTime(2000);  // the first slide alone shows: the first three are wanted
  auto drawer = MakeRef<TDecodingDrawer>();
  int decodedLevel = 0;
  loader->SetContainerCreated([&](TDrawContainer& container) {
    if (!container.slide) return;
    // The first pass finds the needed sizes; the pictures are decoded at the levels the
    // layout then asks for.
    container.slide->PrepareResources(*drawer);
    container.slide->Advance(true, loader->Clock().CurrentTime());
    drawer->Forget();
    container.slide->PrepareResources(*drawer);
    decodedLevel = drawer->Decode();
  });

  std::mutex lock;
  std::condition_variable changed;
  TLoaderRun run;
  int count = 0;
  const Clock::time_point start = Clock::now();
  loader->SetDeliverDirectly([&](TRef<TSlideData> list) {
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::lock_guard guard(lock);
    if (count == 0 && list->Count() > 0) {
      run.firstMs = ms;
      run.level = decodedLevel;
    }
    count = list->Count();
    if (count == 3) run.threeMs = ms;
    changed.notify_all();
  });
  loader->Start();
  {
    std::unique_lock guard(lock);
    changed.wait(guard, [&] { return count == 3; });
  }
  loader->Stop();
  return run;
}

double DecodeAloneMs(const std::string& file, int level) {
  const Clock::time_point start = Clock::now();
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  auto image = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), file);
  benchmark::DoNotOptimize(image->Store().GetMipLevel(level).Get());
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void RunLoaderBenchmark(benchmark::State& state, bool tagged) {
  const std::string project = ShowProject(tagged);
  if (project.empty()) return state.SkipWithError("ImageMagick is missing");
  const std::string photo = Dir() + (tagged ? "/tagged1.jpg" : "/photo1.jpg");
  double first = 1e9, three = 1e9, alone = 1e9;
  int level = 0;
  for (auto _ : state) {
    const TLoaderRun run = RunLoader(project);
    first = std::min(first, run.firstMs);
    three = std::min(three, run.threeMs);
    level = run.level;
    alone = std::min(alone, DecodeAloneMs(photo, level));
  }
  state.counters["first_slide_ms"] = first;
  state.counters["three_slides_ms"] = three;
  state.counters["decode_alone_ms"] = alone;
  state.counters["level"] = level;
  state.counters["ratio"] = first / alone;
}

void BM_LoaderFirstSlideOf24MegapixelJpegs(benchmark::State& state) {
  RunLoaderBenchmark(state, false);
}
BENCHMARK(BM_LoaderFirstSlideOf24MegapixelJpegs)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same photos tagged with a profile, converted by the show's colour management.
void BM_LoaderFirstSlideOfProfiledJpegs(benchmark::State& state) {
  RunLoaderBenchmark(state, true);
}
BENCHMARK(BM_LoaderFirstSlideOfProfiledJpegs)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
