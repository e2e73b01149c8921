#pragma once
// The music schedule of an opened show: the show-wide composite in a play list and, per
// slide, its comment sound (mixed with its clip sounds). Built once, read-only afterwards.

#include <string>
#include <vector>

#include "audio/schedule/play_list.h"
#include "foundation/ref_object.h"
#include "project/slide_timing.h"

namespace vyr {

class TVyrSource;
class TIniFile;

class TSlideMusicInfo {
 public:
  TSlideTiming timing;      // copy of the slide's time-table entry
  std::string comment;      // composite description; empty when the slide has none
  double commentStart = 0;  // ms
  double commentOffset = 0;
  double commentLength = 0;
  TRef<TPlayList> playList;  // always empty here

  bool HasComment() const { return !comment.empty(); }
};

class TVyrMusicSource : public TRefObject {
 public:
  // A missing show source is an assertion failure.
  explicit TVyrMusicSource(TRef<TVyrSource> source);

  bool MusicEnabled() const { return enabled_; }
  bool SyncMode() const { return syncMode_; }
  bool Repeat() const { return repeat_; }
  bool LimitCommentsToSlide() const { return limitComments_; }
  const TPlayList& ShowPlayList() const { return *playList_; }
  TRef<TPlayList> ShowPlayListRef() const { return playList_; }
  int SlideCount() const { return static_cast<int>(slides_.size()); }
  const TSlideMusicInfo& Slide(int index) const { return slides_[static_cast<size_t>(index)]; }
  double ShowLength() const;
  TVyrSource& Source() const { return *source_; }

 private:
  void BuildSlideComments(const TIniFile& project);
  // The limit of slide i's comment, ms.
  double CommentLimit(const TIniFile& project, int slide) const;

  TRef<TVyrSource> source_;
  bool enabled_ = false;
  bool syncMode_ = false;
  bool repeat_ = false;
  bool limitComments_ = true;
  std::vector<TSlideMusicInfo> slides_;
  TRef<TPlayList> playList_;
};

// The first block of class "Music" in a list (none when absent).
const class TIniObject* FindMusicObject(const class TIniList* list);

}  // namespace vyr
