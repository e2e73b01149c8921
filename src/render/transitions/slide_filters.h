#pragma once
// Moving slides. Slide-in (`TSlideFilter`): the arriving slide, opaque, enters from one
// side — code 1 from the left, 2 from the right, 3 from the top, 4 from the bottom. Push
// (`TPushFilter`): the same entry, while the drawer shifts the leaving slide by the push
// offset so that both move together.

#include "render/transitions/draw_filter.h"

namespace vyr {

class TSlideFilter : public TDrawFilter {
 public:
  explicit TSlideFilter(int code) : code_(code) {}
  void Draw(TEffController& renderer) override;
  // Where the arriving slide's rectangle lies relative to its place.
  void EntryOffset(float& dx, float& dy) const;
  int Code() const { return code_; }

 protected:
  int code_;
};

class TPushFilter : public TSlideFilter {
 public:
  using TSlideFilter::TSlideFilter;
  TFilterOrder Order() const override { return TFilterOrder::Push; }
  // The leaving slide's shift: code 1 +w p, 2 -w p (x); 3 +h p, 4 -h p (y).
  void PushOffset(float& dx, float& dy) const;
};

}  // namespace vyr
