#pragma once
// Custom transitions (`TRealSlideFilter`): a slide built from the effect's own section
// shows the leaving and arriving slides through its picture objects marked
// "ReplaceWithEffectBuffer" 1 and 2.
//
// STUB: the slide objects and the effect buffers belong to frame composition; its
// developer fills in the slide (`SetSlide`) and draws it in the drawer (the filter
// itself draws nothing). What is here: the section's background keys and the time.

#include "project/ini_model.h"
#include "render/transitions/draw_filter.h"

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
  // The transition's slide, made by the custom-transition factory of frame composition.
  void SetSlide(TRef<TRefObject> slide) { slide_ = std::move(slide); }
  TRefObject* Slide() const { return slide_.Get(); }

 private:
  const TIniSection* section_;
  bool transparentBackground_ = false;
  int customBackground_ = 0;
  TRef<TRefObject> slide_;
};

}  // namespace vyr
