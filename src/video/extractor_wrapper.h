#pragma once
// `TExtractorWrapper`: one per clip file and slide host. It opens the file through the
// show's file access, makes the frame source and its extractor, gives the extractor two
// video pictures of the drawer, and lends one frame at a time to every video object
// showing the file (the same frame to every lend until all are given back).

#include <string>

#include "foundation/ref_object.h"
#include "scene/video/video_playback.h"
#include "video/vyr_video_extractor.h"

namespace vyr {

class TDeviceDrawer;
class TFileAccessor;
class TVyrSlideHost;

class TExtractorWrapper : public TRefObject {
 public:
  // The host's wrapper of the file, made and opened on first use.
  static TRef<TExtractorWrapper> ForFile(TVyrSlideHost& host, const std::string& fileName,
                                         bool loadFromDisk);

  // Drops the wrappers that only the hosts' lists still hold (their extractors stop).
  static void Prune();

  TExtractorWrapper(TFileAccessor& files, bool loadFromDisk);

  // Opens a new file name (the same name keeps the present source).
  void Open(const std::string& fileName);
  TVideoState State() const { return state_; }
  const std::string& FileName() const { return fileName_; }
  // The name given to the frame source (the real file for files on disk).
  const std::string& SourceName() const { return sourceName_; }
  TVyrVideoExtractor* Extractor() const { return extractor_.Get(); }
  bool Info(TVideoSourceInfo& info) const;

  void AddPictures(TDeviceDrawer& drawer);
  void Prefetch(bool wait, double t);
  bool Lend(double rate, double t, TVideoLend& lend);
  void GiveBack();
  double LengthMs() const;
  int LendCount() const { return lendCount_; }

 protected:
  void Dispose() override;

 private:
  void ReturnLent();

  TRef<TFileAccessor> files_;
  std::string fileName_;
  std::string sourceName_;
  bool loadFromDisk_;
  TVideoState state_ = TVideoState::NotFound;
  TRef<TVyrVideoExtractor> extractor_;
  TPoolEntry lent_;
  bool hasLent_ = false;
  int lendCount_ = 0;
  bool picturesAdded_ = false;
  bool firstRequested_ = false;
};

}  // namespace vyr
