#include "video/video_clip.h"

#include <map>
#include <mutex>

#include "project/ini/ini.h"
#include "scene/video/clip_timing.h"

namespace vyr {

namespace {

void Put(TIniObject& object, const char* key, const std::string& value) {
  if (TIniItem* item = FindKey(&object, key))
    item->SetValue(value);
  else
    object.AddKey(key, value);
}

}  // namespace

TVideoClip2::TVideoClip2(TIniObject& object, double anchor)
    : object_(TRef<TIniObject>::Share(&object)), guid_(object.Name()), anchor_(anchor) {
  fileName_ = ReadText(FindKey(&object, "FileName"));
  loadFromDisk_ = ReadBool(FindKey(&object, "LoadFromDisk"), false);
  duration_ = ReadFloat(FindKey(&object, "Duration"), 0);
  startVideoTime_ = ReadFloat(FindKey(&object, "StartVideoTime"), 0);
  startVyrTime_ = ReadFloat(FindKey(&object, "StartVYRTime"), 0);
  fpsMultiplier_ = ReadFloat(FindKey(&object, "FPSMultiplier"), 1);
  caption_ = ReadText(FindKey(&object, "ClipCaption"));
  startSlideIndex_ = ReadInt(FindKey(&object, "StartSlideIdx"), 0);
  mute_ = ReadBool(FindKey(&object, "Mute"), false);
  masterId_ = ReadText(FindKey(&object, "MasterID"));
}

namespace {

// One clip object per [Tracks] object while anybody holds it. The table holds no reference:
// a clip leaves it when its last holder lets it go.
std::mutex clipTableLock;
std::map<const TIniObject*, TVideoClip2*>& ClipTable() {
  static std::map<const TIniObject*, TVideoClip2*> clips;
  return clips;
}

}  // namespace

TRef<TVideoClip2> TVideoClip2::Find(const TIniFile& project, const std::string& guid) {
  TIniObject* object = guid.empty() ? nullptr : FindObject(FindSection(&project, "Tracks"), guid);
  if (!object) return nullptr;
  std::lock_guard guard(clipTableLock);
  auto& clips = ClipTable();
  auto it = clips.find(object);
  // A clip whose last reference is going is not shared again; a new one takes its place.
  if (it != clips.end() && it->second->RefCount() > 0) return TRef<TVideoClip2>::Share(it->second);
  const int first = ReadInt(FindKey(object, "StartSlideIdx"), 0);
  const double anchor =
      first == 0 ? 0 : ReadFloat(&project, "Times", "opt_synchpos" + std::to_string(first), 0);
  auto clip = MakeRef<TVideoClip2>(*object, anchor);
  clips[object] = clip.Get();
  return clip;
}

void TVideoClip2::Dispose() {
  std::lock_guard guard(clipTableLock);
  auto& clips = ClipTable();
  for (auto it = clips.begin(); it != clips.end(); ++it)
    if (it->second == this) {
      clips.erase(it);
      break;
    }
  TRefObject::Dispose();
}

void TVideoClip2::ApplyLength(double lengthMs) {
  TClipTiming timing;
  timing.duration = duration_;
  timing.startInClip = startVideoTime_;
  ClampToLength(timing, lengthMs);
  duration_ = timing.duration;
  startVideoTime_ = timing.startInClip;
}

void TVideoClip2::SetFileName(const std::string& fileName, double lengthMs) {
  fileName_ = fileName;
  ApplyLength(lengthMs);
  WriteBack();
}

void TVideoClip2::SetDuration(double duration) {
  duration_ = duration;
  WriteBack();
}

void TVideoClip2::SetStartVideoTime(double start) {
  startVideoTime_ = start;
  WriteBack();
}

void TVideoClip2::SetLoadFromDisk(bool on) {
  loadFromDisk_ = on;
  WriteBack();
}

void TVideoClip2::WriteBack() {
  TIniObject& o = *object_;
  Put(o, "FileName", fileName_);
  Put(o, "Duration", FormatFloat(duration_));
  Put(o, "StartVideoTime", FormatFloat(startVideoTime_));
  Put(o, "StartVYRTime", FormatFloat(startVyrTime_));
  Put(o, "FPSMultiplier", FormatFloat(fpsMultiplier_));
  Put(o, "LoadFromDisk", loadFromDisk_ ? "1" : "0");
  Put(o, "ClipCaption", caption_);
  Put(o, "Mute", mute_ ? "1" : "0");
  Put(o, "ClipGUID", guid_);
}

}  // namespace vyr
