#pragma once
// One named sound of the sound engine: played, stopped and moved; each play after a stop
// is a new instance that resumes at the saved position.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "audio/decode/media_info.h"
#include "audio/output/wave_out.h"
#include "foundation/ref_object.h"

namespace vyr {

class TMusicChannel;
class TMusicPlayerClass;

class TChannelMusic : public TRefObject {
 public:
  // Reads the sound's media information (a composite description opens nothing).
  TChannelMusic(TMusicPlayerClass& player, std::string name);

  // The first instance could be made.
  bool IsUsable();
  const std::string& GetName() const { return name_; }
  TMusicPlayerClass& GetPlayer() const { return player_; }
  float GetVolume();
  void SetVolume(float volume);
  float GetMasterVolume();
  void SetMasterVolume(float volume);
  int32_t GetLength() const { return info_.duration; }
  int32_t GetPosition();
  void Seek(int32_t ms);
  bool Play(int32_t fadeMs);
  bool Stop(int32_t fadeMs);
  bool IsPlaying();
  // Called when an instance ends because its data ran out.
  void SetEndCallback(std::function<void()> callback) { endCallback_ = std::move(callback); }

  // The killer hands a finished instance back.
  void InstanceKilled(TMusicChannel& instance);
  int InstanceCount();
  // A channel that never joined the engine's list.
  void MarkUnlisted() { listed_ = false; }

 protected:
  void Dispose() override;

 private:
  TMusicChannel* NewInstance();  // with the lock held
  TMusicChannel* Current() const { return instances_.empty() ? nullptr : instances_.back().Get(); }
  // The channel's volume times the master volume, given to the playing instance.
  void ApplyVolume();

  TMusicPlayerClass& player_;
  std::string name_;
  TMediaInfo info_;
  std::recursive_mutex lock_;
  float volume_ = 1.0f;
  float master_ = 1.0f;
  std::vector<TRef<TMusicChannel>> instances_;
  int32_t savedPosition_ = 0;
  std::function<void()> endCallback_;
  bool usable_ = false;
  bool listed_ = true;
};

}  // namespace vyr
