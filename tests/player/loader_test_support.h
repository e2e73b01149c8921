#pragma once
// Shows written inline for the loader tests, and a container factory that records what the
// cache asks it to build.

#include <string>
#include <vector>

#include "player/loader/slide_cache.h"
#include "player/loader/slide_window.h"
#include "project/ini/model.h"
#include "project/vyr_source.h"

namespace vyr::testing {

inline TRef<TIniFile> ParseProject(std::string_view text) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(text);
  return file;
}

// Slides ending at the given times, each brought in by a dissolve of transitionMs.
inline std::string TimedShow(const std::vector<int>& ends, int transitionMs,
                             std::string_view mainExtra = "") {
  std::string text = "[Main]\nopt_scr_width=800\nopt_scr_height=600\n";
  text += mainExtra;
  text += "\n[Times]\nopt_slidescount=" + std::to_string(ends.size()) + "\n";
  for (size_t k = 0; k < ends.size(); ++k)
    text += "opt_synchpos" + std::to_string(k + 1) + "=" + std::to_string(ends[k]) + "\n";
  for (size_t k = 0; k < ends.size(); ++k) {
    text += "[Slide" + std::to_string(k + 1) + "]\n";
    text += "object TheEffect:AnEffect\n  ref=dissolve\n  time=" + std::to_string(transitionMs) +
            "\nend\n";
  }
  return text;
}

// Searches the show's real time line; builds empty containers and remembers their indexes.
class TRecordingFactory : public TContainerFactory {
 public:
  explicit TRecordingFactory(TRef<TVyrSource> source)
      : source_(std::move(source)),
        search_([this](int i) { return source_->Timing(i).timing; }, source_->Length(),
                source_->SlideCount()) {}

  TSlideWindow WindowSearch(double time) override { return search_.Search(time); }
  TRef<TDrawContainer> BuildContainer(int index) override {
    built.push_back(index);
    auto container = MakeRef<TDrawContainer>();
    container->absoluteIndex = index;
    container->timing = source_->Timing(index).timing;
    return container;
  }

  std::vector<int> built;

 private:
  TRef<TVyrSource> source_;
  TSlideWindowSearch search_;
};

inline std::vector<int> IndexesOf(const TSlideData& data) {
  std::vector<int> indexes;
  for (int i = 0; i < data.Count(); ++i) indexes.push_back(data.Item(i)->absoluteIndex);
  return indexes;
}

}  // namespace vyr::testing
