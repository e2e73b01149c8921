#include "audio/schedule/clip_sounds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <set>
#include <string>

#include "foundation/case_fold.h"
#include "project/ini/ini.h"

namespace vyr {

namespace {

struct TSlideSpan {
  double start = 0;
  double length = 0;
};

TSlideSpan SpanOf(const TIniFile& project, const std::function<double(int)>& transitionAfter,
                  const std::string& sectionName) {
  int32_t n = 0;
  if (!SameName(sectionName.substr(0, 5), "Slide") ||
      !ParseInt32(std::string_view(sectionName).substr(5), n) || n <= 0)
    return {};
  const double start =
      n == 1 ? 0 : ReadInt(&project, "Times", "opt_synchpos" + std::to_string(n - 1), 0);
  const double end = ReadInt(&project, "Times", "opt_synchpos" + std::to_string(n), INT32_MAX);
  return {start, end - start + transitionAfter(n)};
}

bool EndsWithGif(const std::string& name) {
  return name.size() >= 4 && SameName(std::string_view(name).substr(name.size() - 4), ".gif");
}

struct TClipCollector {
  const TIniFile& project;
  const TIniSection* tracks;
  TSlideSpan span;
  std::set<std::string> taken;
  TExtraMusicItemArray result;

  void Add(std::string fileName, double start, double offset, double duration, bool fromDisk) {
    if (EndsWithGif(fileName)) return;
    if (fromDisk) fileName = std::string(kLoadFromDiskPrefix) + fileName;
    TExtraMusicItem item;
    item.fileName = std::move(fileName);
    item.start = static_cast<int32_t>(std::lround(start));
    item.offset = static_cast<int32_t>(std::lround(offset));
    item.duration = static_cast<int32_t>(std::lround(duration));
    result.push_back(std::move(item));
  }

  void Video(const TIniObject& video) {
    const std::string guid = ReadText(FindKey(&video, "ClipGUID"));
    const TIniObject* clip = guid.empty() ? nullptr : FindObject(tracks, guid);
    if (clip) {
      if (ReadBool(FindKey(clip, "Mute"), false)) return;
      if (ReadFloat(FindKey(clip, "FPSMultiplier"), 1) != 1.0) return;
      const int32_t firstSlide = ReadInt(FindKey(clip, "StartSlideIdx"), 0);
      const double clipStart =
          firstSlide == 0
              ? 0
              : ReadFloat(&project, "Times", "opt_synchpos" + std::to_string(firstSlide), 0);
      if (clipStart < span.start || !taken.insert(guid).second) return;
      Add(ReadText(FindKey(clip, "FileName")), ReadFloat(FindKey(clip, "StartVYRTime"), 0),
          ReadFloat(FindKey(clip, "StartVideoTime"), 0),
          std::round(ReadFloat(FindKey(clip, "Duration"), 0)),
          ReadBool(FindKey(clip, "LoadFromDisk"), false));
      return;
    }
    if (ReadBool(FindKey(&video, "Mute"), false)) return;
    if (ReadFloat(FindKey(&video, "FPSMultiplier"), 1) != 1.0) return;
    const double start = ReadFloat(FindKey(&video, "StartVYRTime"), 0);
    const double duration =
        std::min(span.length - start, ReadFloat(FindKey(&video, "Duration"), 0));
    Add(ReadText(FindKey(&video, "FileName")), start,
        ReadFloat(FindKey(&video, "StartVideoTime"), 0), duration,
        ReadBool(FindKey(&video, "LoadFromDisk"), false));
  }

  void Visit(const TIniList& list) {
    for (TIniObject* child = FirstObject(&list); child; child = NextObject(&list, child)) {
      if (SameName(child->ClassName(), "KeyPoint")) continue;
      if (SameName(child->ClassName(), "Video")) Video(*child);
      Visit(*child);
    }
  }
};

}  // namespace

TExtraMusicItemArray CollectClipSounds(const TIniFile& project,
                                       const std::function<double(int)>& transitionAfter,
                                       const TIniSection& slide) {
  TClipCollector collector{project,
                           FindSection(&project, "Tracks"),
                           SpanOf(project, transitionAfter, slide.Name()),
                           {},
                           {}};
  collector.Visit(slide);
  return std::move(collector.result);
}

}  // namespace vyr
