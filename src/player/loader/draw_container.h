#pragma once
// One prepared slide as the engine draws it, and the list of them the loader hands over.

#include <array>

#include "foundation/ref_object.h"
#include "project/effects/vyr_effect.h"
#include "project/slide_timing.h"
#include "scene/animation/slide_timing.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

class TDrawContainer : public TRefObject {
 public:
  // The shared clock of the show.
  TRef<TTiming> clock;
  // The record of the absolute index: later passes are shifted by the repeat offset.
  TSlideTiming timing;
  // Repetition number x show length for indexes past the slide count.
  double repeatOffset = 0;
  // None when the slide did not build: drawing skips the container.
  TRef<TVyrSlide> slide;
  // The transition into this slide; none when its slide did not build.
  TRef<TVyrFilter> filter;
  // Counted across repetitions of the show; -1 is the blank slide before the first.
  int absoluteIndex = 0;
  // Whether the engine's preload reached the drawer: a slide built before the drawer stood has
  // only its pictures decoded, and is prepared when the engine takes it.
  bool preparedWithDrawer = false;

  // The slide at show time t: its own time line has no repeat offset; the filter counts
  // from the slide's start.
  void AdvanceTo(double showTime);
  // Video clips start decoding the frames the slide shows at show time t.
  void RequestFrames(TDeviceDrawer& drawer, double showTime);
  // The engine's preload of a new container (on the loader thread): the slide's resources
  // when the show is running, and in every case its first frames (slide time 0).
  void Preload(TDeviceDrawer& drawer, bool showRunning);
};

// A snapshot of the prepared slides, sorted by absolute index.
class TSlideData : public TRefObject {
 public:
  static constexpr int kMaxCount = 3;

  // More than three is an internal error.
  void Add(TRef<TDrawContainer> container);
  int Count() const { return count_; }
  TDrawContainer* Item(int index) const { return items_[index].Get(); }

 private:
  std::array<TRef<TDrawContainer>, kMaxCount> items_;
  int count_ = 0;
};

}  // namespace vyr
