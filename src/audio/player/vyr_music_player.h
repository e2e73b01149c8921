#pragma once
// The show's music player and clock: plays the music schedule in step with the show on
// a thread of its own, with a loader thread that opens the sounds ahead of time.

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/output/wave_out.h"
#include "audio/player/cycle_pacer.h"
#include "audio/player/music_player_class.h"
#include "audio/player/play_items.h"
#include "audio/schedule/vyr_music_source.h"
#include "package/access/file_accessor.h"
#include "platform/thread.h"

namespace vyr {

class TVyrSource;
class TMusicLoader;

// Data of the set-time event.
class TTimeData : public TRefObject {
 public:
  TTimeData(double time, double limit) : time(time), limit(limit) {}
  double time;   // negative: do not move
  double limit;  // negative: keep
  // Signalled when the message is freed: handled, or dropped by a closed queue.
  const std::shared_ptr<TMessageItem::Waiter> freed = std::make_shared<TMessageItem::Waiter>();

 protected:
  void Dispose() override {
    freed->Signal();
    TRefObject::Dispose();
  }
};

class TVyrMusicPlayer : public TVyrThread {
 public:
  static constexpr int32_t kEventChannel = 2;
  static constexpr int32_t kEventRun = 10;
  static constexpr int32_t kEventPause = 11;
  static constexpr int32_t kEventSetTime = 12;
  static constexpr double kNoLimit = 2147483647.0;
  static constexpr double kLookAhead = 5000;

  // device: the output device (none or unusable: the clock is the system timer).
  // files: the show's file access, copied; sounds open through the copy (none: plain
  // files by their names).
  TVyrMusicPlayer(TRef<TVyrSource> source, TRef<TWaveOutDevice> device,
                  TRef<TFileAccessor> files = nullptr);

  bool Start() override;
  void Stop() override;
  void Terminate() override;
  // Posts to the player and wakes it.
  void PostEvent(int32_t id, TRef<TRefObject> payload = nullptr);

  void SetRunning(bool running);
  void SetTime(double limit, double time);
  void SetLimit(double limit) { SetTime(limit, -2147483647.0); }
  double GetTime();
  bool Ready() const { return ready_.load(); }
  float GetVolume();
  void SetVolume(float volume);

  // Used by the play items and the loader (player thread unless said otherwise).
  double EngineClock();
  int NextItemId();
  void AddItem(TRef<TPlayItem> item);
  void RequestChannel(TRef<TVyrChannel> channel);
  void ReleaseChannel(TRef<TVyrChannel> channel);
  TChannelOperator& Operator() { return operator_; }
  TPlayItem* CurrentSequence() const { return currentSequence_; }
  void SetCurrentSequence(TPlaySequence* sequence);
  void ClearCurrentSequence(TPlaySequence* sequence);
  TPlayItem* CurrentComment() const { return currentComment_; }
  void SetCurrentComment(TPlayComment* comment) { currentComment_ = comment; }
  void ClearCurrentComment(TPlayComment* comment);
  const TVyrMusicSource& MusicSource() const { return *music_; }
  // The items not yet freed (player thread, or while the threads are stopped).
  const std::vector<TRef<TPlayItem>>& Items() const { return items_; }
  // One cycle of the player's loop, without its sleep.
  void Cycle();

 protected:
  void HandleEvent(TThreadEventList& queue, int32_t id, bool& handled,
                   TRefObject* payload) override;
  void MainLoop() override;
  void ThreadFinished() override;
  void Dispose() override;

 private:
  void MoveTo(double time);
  void ScheduleWindow(double from, double upTo, bool initial);
  void StartQueuedChannels();
  void FreeItems();

  TRef<TVyrSource> source_;
  TRef<TVyrMusicSource> music_;
  TRef<TFileAccessor> files_;
  TRef<TMusicPlayerClass> engine_;
  std::unique_ptr<TCyclePacer> pacer_;
  TRef<TMusicLoader> loader_;
  TChannelOperator operator_;
  std::vector<TRef<TPlayItem>> items_;
  TPlaySequence* currentSequence_ = nullptr;
  TPlayComment* currentComment_ = nullptr;
  int slideIndex_ = 0;
  std::mutex clockLock_;
  bool running_ = false;
  double base_ = 0;
  double limit_ = kNoLimit;
  double scheduledTo_ = 0;
  std::atomic<bool> ready_{false};
  bool requestedRunning_ = false;
  double requestedLimit_ = kNoLimit;
  int itemCounter_ = 0;
  double startClock_ = 0;
};

}  // namespace vyr
