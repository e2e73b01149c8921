#pragma once
// The engine on the capture audio backend and a headless device: the test pulls the mix at
// a steady pace (the music clock), dispatches the engine's events on its own thread and
// records them.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "../loader_test_support.h"
#include "audio/output/capture_backend.h"
#include "audio/output/soft_wave_out.h"
#include "platform/clock.h"
#include "player/engine/vyr_engine.h"
#include "render/device/headless_draw_device.h"
#include "scene/scene_test_support.h"

namespace vyr::testing {

// Pulls the capture backend: `speed` ms of music per ms of real time, in 10 ms pieces.
class TPacedPuller {
 public:
  TPacedPuller(TCaptureBackend& backend, double speed) : backend_(backend), speed_(speed) {
    thread_ = std::thread([this] { Loop(); });
  }
  ~TPacedPuller() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Loop() {
    std::vector<int16_t> buffer(441 * 2);
    const auto period = std::chrono::microseconds(static_cast<int64_t>(10000 / speed_));
    while (!stop_) {
      backend_.Pull(buffer.data(), 441);
      std::this_thread::sleep_for(period);
    }
  }
  TCaptureBackend& backend_;
  double speed_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct TRecordedEvent {
  int32_t id = 0;
  std::vector<int32_t> integers;
  std::string text;
  TRef<TRefObject> payload;
};

// Slides of one colour each (0xRRGGBB), ending at the given times, without transitions.
inline std::string ColourShow(const std::vector<int>& ends, const std::vector<uint32_t>& colours,
                              std::string_view mainExtra = "",
                              const std::vector<std::string>& slideExtra = {}) {
  std::string text = "[Main]\nopt_scr_width=320\nopt_scr_height=240\n";
  text += mainExtra;
  text += "\n[Times]\nopt_slidescount=" + std::to_string(ends.size()) + "\n";
  for (size_t k = 0; k < ends.size(); ++k)
    text += "opt_synchpos" + std::to_string(k + 1) + "=" + std::to_string(ends[k]) + "\n";
  for (size_t k = 0; k < ends.size(); ++k) {
    const uint32_t c = colours[k % colours.size()];
    // Windows colours hold red in the lowest byte.
    const uint32_t windows = (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
    text += "[Slide" + std::to_string(k + 1) + "]\nbstyle=1\nbcolor=" + std::to_string(windows) +
            "\nobject TheEffect:AnEffect\n  ref=none\n  time=0\nend\n";
    if (k < slideExtra.size()) text += slideExtra[k];
  }
  return text;
}

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<TCaptureBackend>();
    backend_ = backend.get();
    audio_ = MakeRef<TSoftWaveOutDevice>(std::move(backend));
    device_ = MakeRef<THeadlessDrawDevice>(320, 240);
  }
  void TearDown() override {
    puller_.reset();
    if (engine_) engine_->Stop();
    bus_.Dispatch();
    engine_ = nullptr;
  }

  // Opens the project text directly and starts the engine thread, paused as the viewer
  // creates it; the music runs at `speed` times real time.
  void Start(const std::string& project, double speed = 1, int32_t timeMs = 0) {
    TEngineSettings settings;
    settings.audio = audio_;
    settings.sourceOptions.effectChoice.seed = 7;
    settings.screenSize = TIntSize{320, 240};
    engine_ = MakeRef<TVyrEngine>(&bus_, device_, settings);
    engine_->SetOnEvent([this](const TVyrEventData& event) {
      TRecordedEvent copy{event.id, event.integers, {}, event.payload};
      if (auto* text = dynamic_cast<TStrValue*>(event.payload.Get())) copy.text = text->value;
      events.push_back(copy);
    });
    engine_->SetOnPosition([this](int32_t time, bool ended, int32_t total) {
      positions.push_back(time);
      if (ended) ++endedReports;
      totals = total;
    });
    auto source = MakeRef<test::TMemoryFileSource>();
    source->files = showFiles;
    auto files = MakeRef<TFileAccessor>(source, "/no-show-folder/");
    engine_->OpenShow(files, ParseProject(project), timeMs);
    engine_->Start();
    puller_ = std::make_unique<TPacedPuller>(*backend_, speed);
  }

  void SetPaused(bool paused) { engine_->Events().Post(kRequestPause, MakeRef<TModeData>(paused)); }
  void Seek(int32_t time) {
    auto params = MakeRef<TOpenParams>();
    params->requestId = engine_->NextRequestId();
    params->time = time;
    engine_->Events().Post(kRequestOpen, params);
  }

  // Dispatches events until the condition holds or the time runs out.
  bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 8000) {
    const int64_t end = TickCount() + timeoutMs;
    while (TickCount() < end) {
      bus_.Dispatch();
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    bus_.Dispatch();
    return condition();
  }
  void Run(int ms) {
    WaitFor([] { return false; }, ms);
  }
  int Count(int32_t id) const {
    int n = 0;
    for (const auto& e : events) n += e.id == id;
    return n;
  }

  // The frame the engine draws now, read back through request 13.
  TRef<TBitmap> Capture() {
    const size_t before = events.size();
    engine_->Events().Post(kRequestCapture);
    TRef<TBitmap> picture;
    WaitFor([&] {
      for (size_t i = before; i < events.size(); ++i)
        if (events[i].id == kEventPicture)
          picture = TRef<TBitmap>::Share(dynamic_cast<TBitmap*>(events[i].payload.Get()));
      return static_cast<bool>(picture);
    });
    return picture;
  }

  // The files the show opens by name.
  std::map<std::string, std::vector<uint8_t>> showFiles;
  TEventBus bus_;
  TCaptureBackend* backend_ = nullptr;
  TRef<TSoftWaveOutDevice> audio_;
  TRef<THeadlessDrawDevice> device_;
  TRef<TVyrEngine> engine_;
  std::unique_ptr<TPacedPuller> puller_;
  std::vector<TRecordedEvent> events;
  std::vector<int32_t> positions;
  int endedReports = 0;
  int32_t totals = 0;
};

}  // namespace vyr::testing
