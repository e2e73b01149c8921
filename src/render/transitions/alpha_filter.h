#pragma once
// Cross-fade (`TAlphaFilter`): the whole slide at alpha clamp(p x 255, 0, 255).

#include "render/transitions/draw_filter.h"

namespace vyr {

class TAlphaFilter : public TDrawFilter {
 public:
  void Draw(TEffController& renderer) override;
};

// The slide rectangle shifted by (dx, dy) as two triangles of one alpha.
void EmitSlideRect(TEffController& renderer, const TIntRect& rect, float alpha, float dx = 0,
                   float dy = 0);

}  // namespace vyr
