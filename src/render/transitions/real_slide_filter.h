#pragma once
// Custom transitions (`TRealSlideFilter`): a slide built from the effect's own section
// shows the leaving and arriving slides through its picture objects marked
// "ReplaceWithEffectBuffer" 1 and 2. The filter only holds that slide and its settings;
// the frame drawer builds the slide through its factory and draws it (see
// drawer_custom_transition.cpp).

#include "project/ini/model.h"
#include "render/transitions/draw_filter.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

class TRealSlideFilter : public TDrawFilter {
 public:
  // section: the prepared effect section (kept by the effect, which outlives the filter).
  explicit TRealSlideFilter(const TIniSection* section);
  void Draw(TEffController& renderer) override { (void)renderer; }
  TFilterOrder Order() const override { return TFilterOrder::Custom; }

  const TIniSection* Section() const { return section_; }
  // "TransparentBg" (default false) and "CustomEffBg" (default 0).
  bool TransparentBackground() const { return transparentBackground_; }
  int CustomBackground() const { return customBackground_; }
  // "CustomEffTime" (default 2000): the slide's own length in ms; the slide runs through it
  // once while the transition runs.
  double SlideDuration() const { return slideDuration_; }
  // The slide's time at the filter's current progress.
  double SlideTime() const { return Progress() * slideDuration_; }

  // The transition's slide; building is tried once (a failed build is not retried).
  void SetSlide(TRef<TVyrSlide> slide) {
    slide_ = std::move(slide);
    slideTried_ = true;
  }
  TVyrSlide* Slide() const { return slide_.Get(); }
  bool SlideTried() const { return slideTried_; }

 private:
  const TIniSection* section_;
  bool transparentBackground_ = false;
  int customBackground_ = 0;
  double slideDuration_ = 2000;
  TRef<TVyrSlide> slide_;
  bool slideTried_ = false;
};

}  // namespace vyr
