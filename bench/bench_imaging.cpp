// Picture decoding speed: JPEG levels against djpeg, GIF frames atlas, BMP, reduction and
// colour transforms. Fixtures are written once by ImageMagick into a temporary folder.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/reduce.h"
#include "imaging/colour/color_transform.h"
#include "imaging/decode/decoder_registry.h"

namespace {

using namespace vyr;

const std::string kConvert = "/usr/bin/convert";
const std::string kDjpeg = "/usr/bin/djpeg";

// Kept between runs: the fixtures take a while to write.
std::string Dir() {
  static const std::string dir = [] {
    auto d = std::filesystem::temp_directory_path() / "vyr_bench_imaging";
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir;
}

bool Make(const std::string& file, const std::string& command) {
  if (std::filesystem::exists(file)) return true;
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0 && std::filesystem::exists(file);
}

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// 6000 x 4000, photograph-like: a real photo enlarged, with grain.
const std::string& PhotoJpeg() {
  static const std::string file = Dir() + "/photo24mp.jpg";
  Make(file,
       kConvert + " rose: -resize 6000x4000! -attenuate 0.4 +noise Gaussian -quality 90 " + file);
  return file;
}

// CPU seconds (user + system), so that other work on the machine does not skew the ratio.
double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double DjpegSeconds(const std::string& file, int denom) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const double start = ChildrenCpuSeconds();
    const std::string command =
        kDjpeg + " -scale 1/" + std::to_string(denom) + " -outfile /dev/null " + file;
    if (std::system(command.c_str()) != 0) return 0;
    best = std::min(best, ChildrenCpuSeconds() - start);
  }
  return best;
}

void BM_JpegLevel(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  const std::string& file = PhotoJpeg();
  if (!std::filesystem::exists(file)) return state.SkipWithError("ImageMagick is missing");
  double best = 1e9;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    // From the file, as djpeg does: read, header, scaled decode.
    auto image = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(Bytes(file))), "photo.jpg");
    auto bitmap = image->Store().GetMipLevel(level);
    benchmark::DoNotOptimize(bitmap->Row(0));
    best = std::min(best, ThreadCpuSeconds() - start);
  }
  const double djpeg = DjpegSeconds(file, 1 << level);
  state.counters["ours_cpu_ms"] = best * 1000;
  state.counters["djpeg_cpu_ms"] = djpeg * 1000;
  if (djpeg > 0) state.counters["ratio"] = best / djpeg;
}
BENCHMARK(BM_JpegLevel)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GifFramesAtlas(benchmark::State& state) {
  const std::string file = Dir() + "/anim100.gif";
  if (!Make(file, kConvert +
                      " rose: -resize 200x150! -duplicate 99 -distort SRT '%[fx:t*3.6]' "
                      "-loop 0 -delay 4 " +
                      file))
    return state.SkipWithError("ImageMagick is missing");
  const auto bytes = Bytes(file);
  int64_t pixelBytes = 0;
  for (auto _ : state) {
    auto image =
        DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), "anim100.gif|framesatlas");
    auto atlas = image->Bitmap();
    pixelBytes += int64_t{atlas->Width()} * atlas->Height() * 4;
  }
  state.SetBytesProcessed(pixelBytes);
}
BENCHMARK(BM_GifFramesAtlas)->Unit(benchmark::kMillisecond);

void BM_Bmp24(benchmark::State& state) {
  const std::string file = Dir() + "/photo12mp.bmp";
  if (!Make(file, kConvert + " rose: -resize 4000x3000! -type TrueColor " + file))
    return state.SkipWithError("ImageMagick is missing");
  const auto bytes = Bytes(file);
  for (auto _ : state) {
    auto image = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), "photo.bmp");
    benchmark::DoNotOptimize(image->Bitmap()->Row(0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Bmp24)->Unit(benchmark::kMillisecond);

TRef<TBitmap> Noise(int32_t w, int32_t h, const TPixelFormat* format) {
  auto b = MakeRef<TDirectBitmap>(w, h, format);
  uint32_t seed = 12345;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b->Row(y);
    for (size_t i = 0; i < b->RowBytes(); ++i)
      row[i] = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
  }
  return b;
}

void BM_Reduce(benchmark::State& state) {
  const TPixelFormat* format = state.range(0) == 3 ? pf::R8G8B8() : pf::A8R8G8B8();
  auto source = Noise(6000, 4000, format);
  auto dest = MakeRef<TDirectBitmap>(3000, 2000, format);
  for (auto _ : state) ReduceByTwo(*source, *dest);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 6000 * 4000);
  state.SetLabel(format->Name() + ", items = source pixels");
}
BENCHMARK(BM_Reduce)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_LcmsTransform(benchmark::State& state) {
  auto source = Noise(6000, 4000, pf::R8G8B8());
  auto wrapper = CreateSysBitmap(6000, 4000, pf::R8G8B8());
  TICCColorTransform transform(BuiltinProfile("sRGB"), BuiltinProfile("AdobeRGB"));
  for (auto _ : state) {
    state.PauseTiming();
    wrapper->CopyRect({0, 0, 6000, 4000}, *source, {0, 0});
    state.ResumeTiming();
    transform.Apply(*wrapper);
  }
}
BENCHMARK(BM_LcmsTransform)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
