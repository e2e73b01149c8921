#pragma once
// Page curl (`TRollEffect2`): the slide lifts from an edge (kind 14) or a corner (kind 15)
// and rolls over a cylinder that travels across it, showing the page's back side, until
// nothing of it is left in the rectangle. Without the pipe form the curled part folds
// over onto the page after half a turn; with it the page rolls up into a tube.
// Mode 1..4 names where the curl starts — edges right, bottom, left, top; corners
// bottom-right, bottom-left, top-left, top-right — and the leaving slide curls away
// (the drawer passes it, as a reversed filter). Modes 5..8 run the same curl backwards
// on the arriving slide, which unrolls onto the leaving one.
// The back side shows the picture dimmed, or the colour when one is used; with volume
// the curved surface is shaded by how much it faces the viewer.

#include <cstdint>
#include <vector>

#include "render/transitions/draw_filter.h"

namespace vyr {

class TRollEffect2 : public TDrawFilter {
 public:
  // radius: pixels (0: a radius of its own); colour: 0x00BBGGRR as projects keep it.
  TRollEffect2(int kind, int mode, bool pipe, int radius, bool useColor, int32_t colour,
               bool useVolume, float volume);
  void Init(const TIntRect& rect, float smoothing, float duration) override;
  void Draw(TEffController& renderer) override;

  // Distance of the fold line from the starting edge or corner at the current time.
  double FoldPosition() const;
  float Radius() const { return radius_; }

 private:
  struct TStrip {
    double s0, s1;  // distance behind the fold line
    float depth;    // for drawing the farthest first
  };
  // Drawing position and front normal of the page at distance s behind the fold, on the
  // fold line's point f.
  void CurlPoint(double s, double f, TVec3& position, TVec3& normal) const;
  uint32_t StripColour(const TVec3& position, const TVec3& normal, const TVec3& eye,
                       bool& textured) const;
  void EmitStrip(TEffController& renderer, double s0, double s1, const TVec3& eye) const;

  int kind_, mode_;
  bool pipe_;
  float radius_;
  bool useColor_;
  uint32_t backColour_;
  bool useVolume_;
  float volume_;
  // Start line and directions: D into the slide, F along the fold line.
  double startX_ = 0, startY_ = 0, dX_ = 1, dY_ = 0, fX_ = 0, fY_ = 1;
  double length_ = 0;               // largest distance of a corner from the start line
  double along0_ = 0, along1_ = 0;  // the corners' range along the fold line
  double fold_ = 0;
};

}  // namespace vyr
