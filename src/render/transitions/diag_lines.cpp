#include "render/transitions/diag_lines.h"

namespace vyr {

TDiagLines::TDiagLines(TDiagLinesKind kind, int corner, bool reversed)
    : TCommonFilter(0, 0, reversed), kind_(kind), corner_(corner) {}

void TDiagLines::ComputeExtent() {
  const bool right = corner_ == 2 || corner_ == 3;
  const bool bottom = corner_ == 2 || corner_ == 4;
  originX_ = static_cast<float>(right ? rect_.right : rect_.left);
  originY_ = static_cast<float>(bottom ? rect_.bottom : rect_.top);
  signX_ = right ? -1.0f : 1.0f;
  signY_ = bottom ? -1.0f : 1.0f;
  middle_ = static_cast<float>(rect_.Width() + rect_.Height()) / 2;
  extent_ = kind_ == TDiagLinesKind::Gates ? middle_ : 2 * middle_;
}

void TDiagLines::EmitStrip(TEffController& renderer, float t0, float a0, float t1, float a1) {
  // The segment from (t, 0) to (0, t) in corner coordinates holds every point of the
  // rectangle on the line t; the separators cut the rest away.
  auto vertex = [&](float u, float v, float alpha) {
    return FlatVertex(originX_ + signX_ * u, originY_ + signY_ * v, alpha);
  };
  renderer.AddQuad(vertex(t0, 0, a0), vertex(0, t0, a0), vertex(t1, 0, a1), vertex(0, t1, a1));
}

void TDiagLines::EmitBand(TEffController& renderer, const TSoftBand& band) {
  const float inner = static_cast<float>(band.inner), outer = static_cast<float>(band.outer);
  const float ia = static_cast<float>(band.innerAlpha), oa = static_cast<float>(band.outerAlpha);
  if (kind_ == TDiagLinesKind::Page) {
    EmitStrip(renderer, inner, ia, outer, oa);
    return;
  }
  EmitStrip(renderer, middle_ + inner, ia, middle_ + outer, oa);
  EmitStrip(renderer, middle_ - inner, ia, middle_ - outer, oa);
}

}  // namespace vyr
