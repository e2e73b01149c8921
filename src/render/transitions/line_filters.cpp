#include "render/transitions/line_filters.h"

#include <algorithm>
#include <cmath>

namespace vyr {
namespace {

// The two quads of a band on either side of the centre line at c along the measured axis;
// `across` spans the other axis. swap: the measured axis is x.
void EmitLineBand(TEffController& renderer, const TSoftBand& band, float c, float from, float to,
                  bool measureX) {
  const float ia = static_cast<float>(band.innerAlpha), oa = static_cast<float>(band.outerAlpha);
  auto vertex = [&](float along, float across, float alpha) {
    return measureX ? FlatVertex(along, across, alpha) : FlatVertex(across, along, alpha);
  };
  for (float side : {-1.0f, 1.0f}) {
    const float inner = c + side * static_cast<float>(band.inner);
    const float outer = c + side * static_cast<float>(band.outer);
    renderer.AddQuad(vertex(inner, from, ia), vertex(inner, to, ia), vertex(outer, from, oa),
                     vertex(outer, to, oa));
  }
}

}  // namespace

void THLines::ComputeExtent() {
  extent_ = std::max(std::fabs(centreY_ - static_cast<float>(rect_.top)),
                     std::fabs(centreY_ - static_cast<float>(rect_.bottom)));
}

void THLines::EmitBand(TEffController& renderer, const TSoftBand& band) {
  EmitLineBand(renderer, band, centreY_, static_cast<float>(rect_.left),
               static_cast<float>(rect_.right), false);
}

void TVLines::ComputeExtent() {
  extent_ = std::max(std::fabs(centreX_ - static_cast<float>(rect_.left)),
                     std::fabs(centreX_ - static_cast<float>(rect_.right)));
}

void TVLines::EmitBand(TEffController& renderer, const TSoftBand& band) {
  EmitLineBand(renderer, band, centreX_, static_cast<float>(rect_.top),
               static_cast<float>(rect_.bottom), true);
}

}  // namespace vyr
