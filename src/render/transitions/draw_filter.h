#pragma once
// Draw filters (`TDrawFilter`): what a transition does to the slide passed through it at the
// current time. Flat filters emit triangles with per-vertex alpha over the slide
// rectangle; three-dimensional ones emit the slide's picture as quads in the drawer's
// pixel space (x right, y down, z into the screen). Both go to the tile renderer.

#include "foundation/ref_object.h"
#include "render/transitions/eff_controller.h"
#include "scene/geometry.h"

namespace vyr {

// How the drawer passes slides through a filter (see transition_drawing.h).
enum class TFilterOrder {
  Mask,       // one slide through the filter over the other drawn plainly
  Push,       // as Mask, the leaving slide shifted by the push offset
  Overturn,   // one slide only, chosen by progress
  TwoSlides,  // both slides through the filter, the nearer one last
  Custom      // a slide made for the transition draws both (the drawer's part)
};

class TDrawFilter : public TRefObject {
 public:
  // Stores the slide rectangle, the smoothing width (pixels) and the duration (ms); the time
  // goes back to 0.
  virtual void Init(const TIntRect& rect, float smoothing, float duration);
  // Clamped to [0, duration].
  virtual void SetTime(float time);
  virtual void Draw(TEffController& renderer) = 0;
  virtual void FinishFrame() {}
  virtual TFilterOrder Order() const { return TFilterOrder::Mask; }

  // Which slide the next Draw passes: filters that move both slides draw each differently.
  void SetSubject(bool arriving) { arriving_ = arriving; }
  bool SubjectArriving() const { return arriving_; }

  // time x inverse duration, 0..1 (0 for a zero duration).
  double Progress() const;
  float Time() const { return time_; }
  float Duration() const { return duration_; }
  float Smoothing() const { return smoothing_; }
  const TIntRect& Rect() const { return rect_; }
  bool Reversed() const { return reversed_; }
  void SetReversed(bool reversed) { reversed_ = reversed; }

 protected:
  float duration_ = 0;
  double inverseDuration_ = 0;
  float time_ = 0;
  float smoothing_ = 0;
  TIntRect rect_;
  bool reversed_ = false;
  bool arriving_ = true;
};

}  // namespace vyr
