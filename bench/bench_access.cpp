// OpenPicture of one picture asked for by 8 threads at once: the time until all 8 hold it.
// The picture is decoded once per round and freed when the round ends, so every round decodes.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <barrier>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "package/access/file_accessor.h"
#include "package/access/packed_file_source.h"
#include "package/container/package_writer.h"

namespace {

using namespace vyr;

std::string Bmp24(int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string out(54 + static_cast<size_t>(stride) * height, '\0');
  auto put = [&out](size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>(value >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put(2, static_cast<uint32_t>(out.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(width), 4);
  put(22, static_cast<uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (size_t i = 54; i < out.size(); ++i) out[i] = static_cast<char>(i * 31);
  return out;
}

void BM_OpenPictureEightThreads(benchmark::State& state) {
  constexpr int kThreads = 8;
  std::string folder = (std::filesystem::temp_directory_path() / "vyrbench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return state.SkipWithError("no temporary folder");
  const std::string path = folder + "/show.dat";
  {
    TPackageWriter writer(MakeRef<TFileStream>(path, TFileStream::Mode::Create), {});
    writer.AddEntry("C:\\Show\\photo.bmp", Bmp24(1024, 768), TPackMethod::Stored);
    writer.Finish();
  }
  auto accessor =
      MakeRef<TFileAccessor>(MakeRef<TPackedFileSource>(MakeRef<TVyrUnpack>(path)), folder);

  std::barrier start(kThreads + 1), done(kThreads + 1), released(kThreads + 1);
  bool stop = false;
  std::vector<std::thread> workers;
  for (int i = 0; i < kThreads; ++i)
    workers.emplace_back([&] {
      for (;;) {
        start.arrive_and_wait();
        if (stop) return;
        TRef<TImage> picture = accessor->OpenPicture("C:\\Show\\photo.bmp");
        benchmark::DoNotOptimize(picture->Bitmap().Get());
        done.arrive_and_wait();
        picture.Reset();
        released.arrive_and_wait();
      }
    });

  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    start.arrive_and_wait();
    done.arrive_and_wait();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    released.arrive_and_wait();
  }
  stop = true;
  start.arrive_and_wait();
  for (auto& worker : workers) worker.join();
  accessor.Reset();
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_OpenPictureEightThreads)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
