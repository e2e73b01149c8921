// Audio: decoding speed (times real time) for MP3 and resampled WAV, with the MP3 figure
// also as a ratio to the mpg123 command-line decoder on the same file; the composite mix
// of 8 overlapping tracks; the software mixer's cost; and clock accuracy on the capture
// and null backends. VYR_BENCH_MP3_MINUTES (default 10) and VYR_BENCH_NULL_SECONDS
// (default 10) set the lengths.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/decode/converter_factory.h"
#include "audio/mix/composite_params.h"
#include "audio/output/capture_backend.h"
#include "audio/output/device_factory.h"
#include "audio/output/soft_wave_out.h"

namespace vyr {
namespace {

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v ? std::max(1, std::atoi(v)) : fallback;
}

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vyr_bench_audio_XXXXXX").string();
    return std::string(mkdtemp(pattern.data()));
  }();
  return folder;
}

// Runs command with "{}" replaced by the file's path, once.
std::string Make(const std::string& name, std::string command) {
  const std::string path = Folder() + "/" + name;
  command.replace(command.find("{}"), 2, "'" + path + "'");
  if (!std::filesystem::exists(path))
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) return {};
  return path;
}

int Mp3Minutes() { return EnvInt("VYR_BENCH_MP3_MINUTES", 10); }

const std::string& Mp3File() {
  static const std::string path =
      Make("long.mp3",
           "ffmpeg -y -v error -f lavfi -i sine=frequency=440:sample_rate=44100:"
           "duration=" +
               std::to_string(Mp3Minutes() * 60) + " -ac 2 -c:a libmp3lame -b:a 192k {}");
  return path;
}

// Decodes the whole sound to the mixing format; returns seconds of audio.
double DecodeAll(const std::string& name) {
  auto converter = OpenSoundConverter(name);
  if (!converter) return 0;
  converter->SetOutputFormat(MixingFormat());
  const size_t piece = 176400 / 10;
  size_t bytes = 0;
  while (converter->Fill(piece)) {
    converter->Output().Consume(piece);
    bytes += piece;
  }
  return static_cast<double>(bytes) / kMixingBytesPerSecond;
}

double SecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DecodeMp3(benchmark::State& state) {
  const std::string& path = Mp3File();
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the MP3");
  const double reference =
      SecondsOf([&] { std::system(("mpg123 -q -s '" + path + "' > /dev/null 2>&1").c_str()); });
  double audio = 0, wall = 0;
  for (auto _ : state) wall += SecondsOf([&] { audio += DecodeAll(path); });
  state.counters["x_realtime"] = audio / wall;
  state.counters["ratio_to_mpg123"] = wall / state.iterations() / reference;
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ResampleWav(benchmark::State& state) {
  const std::string path = Make("mono22.wav", "sox -n -r 22050 -c 1 -b 16 {} synth 60 sine 440");
  double audio = 0, wall = 0;
  for (auto _ : state) wall += SecondsOf([&] { audio += DecodeAll(path); });
  state.counters["x_realtime"] = audio / wall;
}
BENCHMARK(BM_ResampleWav)->Unit(benchmark::kMillisecond);

void BM_CompositeEightTracks(benchmark::State& state) {
  TCompositeParams params;
  params.duration = 60000;
  for (int i = 0; i < 8; ++i) {
    const std::string file =
        Make("track" + std::to_string(i) + ".wav", "sox -n -r 44100 -c 2 -b 16 {} synth 40 sine " +
                                                       std::to_string(300 + 50 * i) + " vol 0.3");
    TCompositeItem& item = params.AddItem(file, i * 2500);
    item.duration = 40000;
    TVolumeParams& fade = item.NewEnvelope();
    fade.AddPoint(0, 0);
    fade.AddPoint(2000, 800);
    fade.AddPoint(38000, 800);
    fade.AddPoint(40000, 0);
  }
  const std::string description = params.SaveToText();
  double audio = 0, wall = 0;
  for (auto _ : state) wall += SecondsOf([&] { audio += DecodeAll(description); });
  state.counters["x_realtime"] = audio / wall;
}
BENCHMARK(BM_CompositeEightTracks)->Unit(benchmark::kMillisecond);

void BM_MixerOneSecond(benchmark::State& state) {
  TSoftMixer mixer;
  for (int i = 0; i < 4; ++i) {
    auto voice = MakeRef<TMixVoice>(i == 0 ? MakePcmFormat(1, 22050, 16) : MixingFormat(), 352800);
    voice->Play();
    voice->SetAttenuation(i == 1 ? -600 : 0);
    mixer.Add(voice);
  }
  std::vector<int16_t> out(44100 * 2);
  for (auto _ : state) {
    for (int i = 0; i < 10; ++i) mixer.Mix(out.data() + i * 8820, 4410);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("4 voices (one resampled, one attenuated), per second of audio");
}
BENCHMARK(BM_MixerOneSecond)->Unit(benchmark::kMicrosecond);

void BM_ClockCapture(benchmark::State& state) {
  double worst = 0;
  for (auto _ : state) {
    auto backend = std::make_unique<TCaptureBackend>();
    TCaptureBackend* capture = backend.get();
    auto device = MakeRef<TSoftWaveOutDevice>(std::move(backend));
    auto timer = device->CreateTimerChannel();
    timer->Start();
    std::vector<int16_t> block(441 * 2);
    capture->Pull(block.data(), 441);
    const double offset = timer->GetTime() - device->Clock().NowMs();
    for (int i = 0; i < 60000; ++i) {  // 10 minutes in 10 ms pulls
      capture->Pull(block.data(), 441);
      worst = std::max(worst, std::abs(timer->GetTime() - device->Clock().NowMs() - offset));
    }
  }
  state.counters["max_drift_ms"] = worst;
}
BENCHMARK(BM_ClockCapture)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ClockNull(benchmark::State& state) {
  const int seconds = EnvInt("VYR_BENCH_NULL_SECONDS", 10);
  double worst = 0;
  for (auto _ : state) {
    auto device = CreateWaveOutDevice("null");
    auto timer = device->CreateTimerChannel();
    timer->Start();
    while (timer->GetTime() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // past the first reading
    // Delivered: what the null backend has mixed by now (brought up to the clock).
    auto delivered = [&] {
      device->CatchUp();
      return device->Mixer().FramesMixed() * 1000.0 / kMixingRate;
    };
    const double offset = timer->GetTime() - delivered();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(7));
      const double deliveredMs = delivered();
      worst = std::max(worst, std::abs(timer->GetTime() - deliveredMs - offset));
    }
  }
  state.counters["max_error_ms"] = worst;
}
BENCHMARK(BM_ClockNull)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();
