#include "audio/schedule/vyr_music_source.h"

#include <cmath>

#include "audio/schedule/clip_sounds.h"
#include "audio/schedule/music_options_reader.h"
#include "foundation/case_fold.h"
#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "project/ini/ini.h"
#include "project/vyr_source.h"

namespace vyr {

namespace {

std::string SlideSectionName(int index) { return "Slide" + std::to_string(index + 1); }

bool HasNamedComment(const TIniFile& project, int slide) {
  const TIniObject* music = FindMusicObject(FindSection(&project, SlideSectionName(slide)));
  if (!music) return false;
  for (TIniObject* child = FirstObject(music); child; child = NextObject(music, child)) {
    if (SameName(child->ClassName(), "TSoundComment") &&
        !ReadText(FindKey(child, "FileName")).empty())
      return true;
  }
  return false;
}

}  // namespace

const TIniObject* FindMusicObject(const TIniList* list) {
  for (TIniObject* object = FirstObject(list); object; object = NextObject(list, object)) {
    if (SameName(object->ClassName(), "Music")) return object;
  }
  return nullptr;
}

TVyrMusicSource::TVyrMusicSource(TRef<TVyrSource> source)
    : source_(std::move(source)), playList_(MakeRef<TPlayList>()) {
  VYR_ASSERT_MSG(source_, "No VyrSource for VyrMusicSource");
  const TIniFile& project = *source_->Model();
  const TIniObject* music = FindMusicObject(FindSection(&project, "Main"));
  if (music && ReadBool(FindKey(music, "music_disable"), false)) return;
  enabled_ = true;

  TMusicOptionsReader reader(project);
  reader.ReadShowMusic(music, {});
  if (reader.ShowLength() > 0) {
    playList_->Add({reader.ShowDescription(), 0, 0, static_cast<double>(reader.ShowLength())});
  }
  repeat_ = reader.IsRepeat();
  playList_->SetRepeat(repeat_);

  syncMode_ = ReadBool(&project, "Main", "opt_syncmode", false);
  limitComments_ = !ReadBool(&project, "Main", "opt_fullyplaysound", false);
  BuildSlideComments(project);
}

double TVyrMusicSource::ShowLength() const { return source_->Length(); }

double TVyrMusicSource::CommentLimit(const TIniFile& project, int slide) const {
  const TSlideTiming& timing = source_->Table().Record(slide);
  if (limitComments_) return std::round(timing.end - timing.start);
  const int count = source_->SlideCount();
  double end = source_->Length();
  for (int next = slide + 1; next < count; ++next) {
    if (HasNamedComment(project, next)) {
      end = source_->Table().Record(next).start;
      break;
    }
  }
  return std::round(end - timing.start);
}

void TVyrMusicSource::BuildSlideComments(const TIniFile& project) {
  TMusicOptionsReader reader;
  const auto transitionAfter = [this](int n) { return source_->TransitionLength(n); };
  const int count = source_->SlideCount();
  slides_.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TSlideMusicInfo& info = slides_[static_cast<size_t>(i)];
    info.timing = source_->Table().Record(i);
    const TIniSection* section = FindSection(&project, SlideSectionName(i));
    if (!section) {
      WriteLine("Slide not Found: " + SlideSectionName(i));
      continue;
    }
    const TIniObject* music = FindMusicObject(section);
    const TExtraMusicItemArray clips = CollectClipSounds(project, transitionAfter, *section);
    if (!music && clips.empty()) continue;
    reader.SetCommentLimit(static_cast<int32_t>(CommentLimit(project, i)));
    reader.ReadShowMusic(music, clips);
    if (reader.CommentLength() > 0) {
      info.comment = reader.CommentDescription();
      info.commentLength = reader.CommentLength();
    }
  }
}

}  // namespace vyr
