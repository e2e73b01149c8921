#include "audio/schedule/music_options_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "audio/mix/composite_params.h"
#include "foundation/case_fold.h"
#include "project/ini/ini.h"

namespace vyr {

namespace {

constexpr std::string_view kTrackClass = "TMusicTrack";
constexpr std::string_view kItemClass = "TMusicItem";
constexpr std::string_view kOptionsClass = "TMusicOptions";
constexpr std::string_view kCommentClass = "TSoundComment";

int32_t IntKey(const TIniObject& object, std::string_view key, int32_t defaultValue) {
  return ReadInt(FindKey(&object, key), defaultValue);
}

bool BoolKey(const TIniObject& object, std::string_view key) {
  return ReadBool(FindKey(&object, key), false);
}

std::string TextKey(const TIniObject& object, std::string_view key) {
  return ReadText(FindKey(&object, key));
}

bool IsClass(const TIniObject& object, std::string_view className) {
  return SameName(object.ClassName(), className);
}

// The fades and the level of an item of length d, as one envelope (none when all neutral).
void AddLevelEnvelope(TCompositeItem& item, int32_t d, int32_t fadeIn, int32_t fadeOut,
                      int32_t volume) {
  if (fadeIn <= 0 && fadeOut <= 0 && volume == 1000) return;
  TVolumeParams& envelope = item.NewEnvelope();
  if (fadeIn > 0) {
    envelope.AddPoint(0, 0);
    envelope.AddPoint(fadeIn, volume);
  }
  if (fadeOut > 0) {
    envelope.AddPoint(d - fadeOut, volume);
    envelope.AddPoint(d, 0);
  }
  if (envelope.PointCount() == 0) {
    envelope.AddPoint(0, volume);
    envelope.AddPoint(d, volume);
  }
}

// Appends the items of a block to the flat list; nullptr marks the start of a track.
void Flatten(const TIniObject& block, std::vector<const TIniObject*>& flat, bool& isRepeat,
             std::vector<const TIniObject*>& comments) {
  for (TIniObject* child = FirstObject(&block); child; child = NextObject(&block, child)) {
    if (IsClass(*child, kTrackClass)) {
      if (BoolKey(*child, "IsMute")) continue;
      flat.push_back(nullptr);
      Flatten(*child, flat, isRepeat, comments);
    } else if (IsClass(*child, kItemClass)) {
      flat.push_back(child);
    } else if (IsClass(*child, kOptionsClass)) {
      isRepeat = BoolKey(*child, "IsRepeat");
    } else if (IsClass(*child, kCommentClass)) {
      comments.push_back(child);
    }
  }
}

std::vector<std::vector<const TIniObject*>> SplitTracks(
    const std::vector<const TIniObject*>& flat) {
  std::vector<std::vector<const TIniObject*>> tracks;
  std::vector<const TIniObject*> current;
  for (const TIniObject* slot : flat) {
    if (slot) {
      current.push_back(slot);
    } else if (!current.empty()) {
      tracks.push_back(std::move(current));
      current.clear();
    }
  }
  if (!current.empty()) tracks.push_back(std::move(current));
  return tracks;
}

}  // namespace

TMusicOptionsReader::TMusicOptionsReader() = default;

TMusicOptionsReader::TMusicOptionsReader(const TIniFile& project) {
  const int count = ReadInt(&project, "Times", "opt_slidescount", 0);
  slideStarts_.assign(1, 0);
  for (int i = 1; i < count; ++i) {
    const int32_t start = ReadInt(&project, "Times", "opt_synchpos" + std::to_string(i), 0);
    slideStarts_.push_back(std::max(start, slideStarts_.back()));
  }
  ReadLinks(project, count);
}

void TMusicOptionsReader::ReadLinks(const TIniFile& project, int slideCount) {
  for (int n = 1; n <= slideCount; ++n) {
    const std::string text = ReadText(&project, "Slide" + std::to_string(n), "LinkedAudio", "");
    size_t at = 0;
    while (at < text.size() && text[at] == '{') {
      const size_t close = text.find('}', at);
      const size_t end = close == std::string::npos ? text.size() : close + 1;
      links_[text.substr(at, end - at)] = n - 1;
      at = end;
    }
  }
}

int64_t TMusicOptionsReader::LinkedStart(const TIniObject& item) const {
  const auto link = links_.find(TextKey(item, "GUID"));
  if (link == links_.end() || link->second >= static_cast<int>(slideStarts_.size())) return -1;
  int64_t start = slideStarts_[static_cast<size_t>(link->second)];
  const int32_t mode = IntKey(item, "CrossMode", 0);
  if (mode == 0) start = std::max<int64_t>(start - std::max(IntKey(item, "Cross", 0), 0), 0);
  if (mode == 1) start += std::max(IntKey(item, "Pause", 0), 0);
  return start;
}

void TMusicOptionsReader::PlaceTrack(TCompositeParams& params,
                                     const std::vector<const TIniObject*>& track,
                                     int64_t& cursor) const {
  const size_t count = track.size();
  std::vector<int64_t> linked(count), anchor(count, -1);
  for (size_t k = 0; k < count; ++k) linked[k] = LinkedStart(*track[k]);
  for (size_t k = count; k-- > 1;) {
    anchor[k - 1] = anchor[k];
    if (linked[k] >= 0 && (anchor[k - 1] < 0 || linked[k] < anchor[k - 1]))
      anchor[k - 1] = linked[k];
  }

  for (size_t k = 0; k < count; ++k) {
    const TIniObject& source = *track[k];
    const bool first = cursor == 0;
    int32_t mode = IntKey(source, "CrossMode", 0);
    int32_t cross = IntKey(source, "Cross", 0);
    int32_t pause = IntKey(source, "Pause", 0);
    if (linked[k] >= 0) {
      cursor = linked[k];
      mode = cross = pause = 0;
    }
    int64_t duration = IntKey(source, "Duration", 0);
    const int32_t volume = IntKey(source, "Volume", 100) * 10;
    const int64_t effective = mode == 0   ? cursor - std::max(cross, 0)
                              : mode == 1 ? cursor + std::max(pause, 0)
                                          : cursor;
    if (anchor[k] >= 0 && anchor[k] < duration + effective)
      duration = std::max<int64_t>(anchor[k] - effective, 0);
    if (mode == 1 && pause > 0) cursor += pause;

    const int32_t d = static_cast<int32_t>(duration);
    TCompositeItem& item =
        params.AddItem(TextKey(source, "FileName"), static_cast<int32_t>(cursor));
    item.beginTime = IntKey(source, "StartTime", 0);
    item.duration = d;
    AddLevelEnvelope(item, d, IntKey(source, "FadeIn", 0), IntKey(source, "FadeOut", 0), volume);

    TVolumeParams* crossEnvelope = nullptr;
    if (mode == 0 && cross > 0) {
      crossEnvelope = &item.NewEnvelope();
      crossEnvelope->AddPoint(0, 0);
      crossEnvelope->AddPoint(cross, 1000);
      if (!first) {
        cursor -= cross;
        item.timeLine = std::max(item.timeLine - cross, 0);
      }
    }
    if (k + 1 < count && linked[k + 1] < 0) {
      const TIniObject& next = *track[k + 1];
      const int32_t nextCross = IntKey(next, "Cross", 0);
      if (IntKey(next, "CrossMode", 0) == 0 && nextCross > 0) {
        if (!crossEnvelope) crossEnvelope = &item.NewEnvelope();
        crossEnvelope->AddPoint(d - nextCross, 1000);
        crossEnvelope->AddPoint(d, 0);
      }
    }
    item.ParseVolumeParams(TextKey(source, "VolumeParams"), item.beginTime);
    cursor += duration;
    if (volume == 0) params.RemoveItem(params.ItemCount() - 1);
  }
}

void TMusicOptionsReader::ReadShowMusic(const TIniObject* music, const TExtraMusicItemArray& extras,
                                        bool /*randomAllowed*/) {
  TCompositeParams params;
  isRepeat_ = false;
  if (music) {
    std::vector<const TIniObject*> flat, comments;
    Flatten(*music, flat, isRepeat_, comments);
    int64_t longest = 0;
    for (const auto& track : SplitTracks(flat)) {
      int64_t cursor = 0;
      PlaceTrack(params, track, cursor);
      longest = std::max(longest, cursor);
    }
    params.duration = static_cast<int32_t>(longest);
    for (const TIniObject* comment : comments) ReadComment(comment, extras);
    if (comments.empty()) ReadComment(nullptr, extras);
  } else {
    ReadComment(nullptr, extras);
  }
  showDescription_ = params.SaveToText();
  showLength_ = params.duration;
}

void TMusicOptionsReader::ReadComment(const TIniObject* comment,
                                      const TExtraMusicItemArray& extras) {
  TCompositeParams params;
  int64_t length = 0;
  if (comment) {
    std::string fileName = TextKey(*comment, "FileName");
    if (SameName(fileName, "error")) fileName.clear();
    // A comment without a file adds nothing: an empty name would end the item list.
    if (!fileName.empty()) {
      const int32_t pause = std::max(IntKey(*comment, "Pause", 0), 0);
      int32_t a = IntKey(*comment, "Duration", 0) + pause;
      if (commentLimit_ > 0 && commentLimit_ < a) a = commentLimit_;
      TCompositeItem& item = params.AddItem(fileName, pause);
      item.beginTime = IntKey(*comment, "StartTime", 0);
      item.duration = a;
      AddLevelEnvelope(item, a, IntKey(*comment, "FadeIn", 0), IntKey(*comment, "FadeOut", 0),
                       IntKey(*comment, "Volume", 100) * 10);
      item.ParseVolumeParams(TextKey(*comment, "VolumeParams"), item.beginTime);
      length = a;
    }
  }
  for (const TExtraMusicItem& extra : extras) {
    TCompositeItem& item = params.AddItem(extra.fileName, extra.start);
    item.beginTime = extra.offset;
    item.duration = extra.duration;
    if (extra.volume != 1.0f) {
      const int32_t v = static_cast<int32_t>(std::lround(extra.volume * 1000.0));
      TVolumeParams& envelope = item.NewEnvelope();
      envelope.AddPoint(0, v);
      envelope.AddPoint(extra.duration, v);
    }
    length = std::max<int64_t>(length, int64_t{extra.start} + extra.duration);
  }
  params.duration = static_cast<int32_t>(length);
  commentDescription_ = params.SaveToText();
  commentLength_ = params.duration;
}

}  // namespace vyr
