#pragma once
// What the music player plays: sequences over a play list (the show-wide music) and slide
// comments, each asking the loader for its channels ahead of their start.

#include <vector>

#include "audio/player/vyr_channel.h"
#include "audio/schedule/play_list.h"
#include "foundation/ref_object.h"

namespace vyr {

class TVyrMusicPlayer;

class TPlayItem : public TRefObject {
 public:
  explicit TPlayItem(TVyrMusicPlayer& player);

  virtual void Finish(bool force) = 0;
  virtual void ChannelReady(TVyrChannel& channel) = 0;
  virtual void Tick(bool running, double showTime) = 0;

  int Id() const { return id_; }
  bool Ready() const { return ready_; }
  bool Finished() const { return finished_; }

 protected:
  TVyrMusicPlayer& player_;
  int id_;
  bool ready_ = false;
  bool finished_ = false;
};

class TPlaySequence : public TPlayItem {
 public:
  TPlaySequence(TVyrMusicPlayer& player, TRef<TPlayList> list, bool syncMode, double startTime,
                double offset);

  void Finish(bool force) override;
  void ChannelReady(TVyrChannel& channel) override;
  void Tick(bool running, double showTime) override;
  // Schedules and starts the channels at time t of the play list.
  void Schedule(double t);

  double StartTime() const { return startTime_; }
  double Offset() const { return offset_; }
  bool Started() const { return started_; }
  const std::vector<TRef<TVyrChannel>>& Channels() const { return channels_; }

 protected:
  void Dispose() override;

 private:
  std::vector<TRef<TVyrChannel>> channels_;
  TRef<TPlayList> list_;
  int nextEntry_ = 0;
  bool started_ = false;
  bool freeRunning_;
  double clockAtStart_ = 0;
  double startTime_;
  double offset_;
};

class TPlayComment : public TPlayItem {
 public:
  using TPlayItem::TPlayItem;

  // A comment asks for its one channel once (an assertion otherwise).
  void Request(const std::string& name, int32_t startPosition, double endTime, double startTime);
  void Finish(bool force) override;
  void ChannelReady(TVyrChannel& channel) override;
  void Tick(bool running, double showTime) override;
  TVyrChannel* Channel() const { return channel_.Get(); }

 protected:
  void Dispose() override;

 private:
  TRef<TVyrChannel> channel_;
};

}  // namespace vyr
