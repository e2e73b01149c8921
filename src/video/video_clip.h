#pragma once
// `TVideoClip2`: a clip shared between video objects, kept in the project's [Tracks] under
// its GUID. Changing its file, duration, start in the clip or load-from-disk flag writes
// the clip's keys back into its [Tracks] object.

#include <string>

#include "foundation/ref_object.h"
#include "project/ini/model.h"

namespace vyr {

class TVideoClip2 : public TRefObject {
 public:
  // Reads the clip object; anchor is the start of its first slide ("opt_synchpos" +
  // "StartSlideIdx" of [Times], 0 for index 0).
  TVideoClip2(TIniObject& object, double anchor);
  // The project's clip of that GUID (one object per project and GUID); none when [Tracks]
  // has no such object.
  static TRef<TVideoClip2> Find(const TIniFile& project, const std::string& guid);

  const std::string& Guid() const { return guid_; }
  const std::string& FileName() const { return fileName_; }
  bool LoadFromDisk() const { return loadFromDisk_; }
  double Duration() const { return duration_; }
  double StartVideoTime() const { return startVideoTime_; }
  double StartVyrTime() const { return startVyrTime_; }
  double FpsMultiplier() const { return fpsMultiplier_; }
  const std::string& Caption() const { return caption_; }
  int StartSlideIndex() const { return startSlideIndex_; }
  bool Mute() const { return mute_; }
  const std::string& MasterId() const { return masterId_; }
  double Anchor() const { return anchor_; }

  // The clip's file is open: its start in the clip and duration are clamped to the length.
  void ApplyLength(double lengthMs);
  // A new file re-applies the clamping of the start and the duration to its length (ms).
  void SetFileName(const std::string& fileName, double lengthMs);
  void SetDuration(double duration);
  void SetStartVideoTime(double start);
  void SetLoadFromDisk(bool on);

 protected:
  void Dispose() override;

 private:
  void WriteBack();

  TRef<TIniObject> object_;
  std::string guid_;
  std::string fileName_;
  bool loadFromDisk_ = false;
  double duration_ = 0;
  double startVideoTime_ = 0;
  double startVyrTime_ = 0;
  double fpsMultiplier_ = 1;
  std::string caption_;
  int startSlideIndex_ = 0;
  bool mute_ = false;
  std::string masterId_;
  double anchor_ = 0;
};

}  // namespace vyr
