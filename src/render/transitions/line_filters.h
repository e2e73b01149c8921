#pragma once
// Line masks: a band about a line through the centre grows across the slide. `THLines`
// (horizontal lines) measures |y - Cy| and spans the full width; `TVLines` (vertical
// lines) measures |x - Cx| and spans the full height. Anchored at an edge they wipe from
// that edge.

#include "render/transitions/common_filter.h"

namespace vyr {

class THLines : public TCommonFilter {
 public:
  using TCommonFilter::TCommonFilter;

 protected:
  void ComputeExtent() override;
  void EmitBand(TEffController& renderer, const TSoftBand& band) override;
};

class TVLines : public TCommonFilter {
 public:
  using TCommonFilter::TCommonFilter;

 protected:
  void ComputeExtent() override;
  void EmitBand(TEffController& renderer, const TSoftBand& band) override;
};

}  // namespace vyr
