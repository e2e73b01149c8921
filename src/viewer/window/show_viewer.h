#pragma once
// The bridge between the main window and the playback engine: it creates the engine on the
// first open, turns the window's requests into queued engine requests and the engine's
// events into calls back to the window. Main thread only.

#include <functional>

#include "imaging/bitmap/bitmap.h"
#include "player/engine/vyr_engine.h"

namespace vyr {

class TVyrShowViewer {
 public:
  struct TCallbacks {
    std::function<void(int32_t time, bool ended)> position;
    std::function<void(const TVyrActionInfo& action)> action;
    std::function<void(TRef<TBitmap> picture)> picture;
    std::function<void(int width, int height, int mode)> windowMode;
    std::function<void()> firstFrame;
    std::function<void(int32_t time)> seeked;  // a jump of the show time asked for
  };
  using TEngineFactory = std::function<TRef<TVyrEngine>()>;

  explicit TVyrShowViewer(TEngineFactory factory) : factory_(std::move(factory)) {}
  ~TVyrShowViewer() { StopEngine(); }
  TVyrShowViewer(const TVyrShowViewer&) = delete;
  TVyrShowViewer& operator=(const TVyrShowViewer&) = delete;

  void SetCallbacks(TCallbacks callbacks) { callbacks_ = std::move(callbacks); }
  // Creates the engine when needed; the first show opens directly and starts the engine
  // thread, later ones go to the running engine. False when no engine could be made.
  bool Open(TRef<TFileAccessor> accessor, TRef<TIniFile> model, int32_t startTime);
  void Seek(int32_t time);
  void SetPaused(bool paused);
  void SeekAndPause(int32_t time, bool paused);
  void Mouse(uint8_t shift, int32_t x, int32_t y, int32_t button, uint8_t eventType,
             const TVyrActionInfo& action = {});
  void ShowHelp();
  void CloseDialog();
  void CapturePicture();

  bool Paused() const { return paused_; }
  int32_t Position() const { return position_; }
  int32_t Total() const { return total_; }
  TVyrEngine* Engine() const { return engine_.Get(); }
  void SetEndActionsEnabled(bool on);
  // Drops the callbacks: events still queued reach nobody.
  void Disconnect() { callbacks_ = {}; }
  void StopEngine();

 private:
  void Post(int32_t id, TRef<TRefObject> payload = nullptr);
  void Connect();

  TEngineFactory factory_;
  TCallbacks callbacks_;
  TRef<TVyrEngine> engine_;
  bool paused_ = true;
  int32_t position_ = 0;
  int32_t total_ = 0;
  bool endActionsEnabled_ = true;
};

}  // namespace vyr
