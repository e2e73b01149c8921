#include "project/effects/vyr_effect.h"

#include "foundation/exceptions.h"

namespace vyr {

namespace ep = effect_param;

TVariantLayout VariantLayoutOf(TEffectType type) {
  switch (type) {
    case TEffectType::Dissolve:
    case TEffectType::Mosaic:
      return {0, 0, ep::kChecked, 1};
    case TEffectType::HourHand:
      return {0, ep::kHourHandActions, ep::kHourHandActions, ep::kHourHandDirections};
    case TEffectType::Shapes:
      return {0, ep::kShapesActions, ep::kShapesActions, ep::kShapesDirections};
    case TEffectType::Gates:
      return {0, 0, 0, ep::kGatesDirections};
    case TEffectType::Page:
      return {0, 0, 0, ep::kPageDirections};
    case TEffectType::Curling:
      return {0, ep::kCurlingActions, ep::kCurlingActions, ep::kCurlingDirections};
    case TEffectType::Push:
    case TEffectType::Slide:
    case TEffectType::Flip:
    case TEffectType::Swap:
      return {0, 0, 0, ep::kFourDirections};
    case TEffectType::Custom:
      break;
  }
  return {};
}

namespace {

int CountSet(const TVyrEffect& effect, int begin, int count) {
  int n = 0;
  for (int i = begin; i < begin + count; ++i) n += effect.Flag(i) ? 1 : 0;
  return n;
}

// Clears every flag of the range except the k-th set one (0-based).
void KeepKthSet(TVyrEffect& effect, int begin, int count, int k) {
  for (int i = begin; i < begin + count && i < static_cast<int>(effect.flags.size()); ++i) {
    if (!effect.flags[i]) continue;
    effect.flags[i] = k == 0 ? 1 : 0;
    --k;
  }
}

}  // namespace

int TVyrEffect::FirstDirection() const {
  const TVariantLayout layout = VariantLayoutOf(type);
  for (int d = 0; d < layout.directionCount; ++d)
    if (Flag(layout.directionBegin + d)) return d + 1;
  return 0;
}

bool TVyrEffect::ActionSet(int actionNumber) const {
  const TVariantLayout layout = VariantLayoutOf(type);
  return actionNumber >= 1 && actionNumber <= layout.actionCount &&
         Flag(layout.actionBegin + actionNumber - 1);
}

int TVyrEffect::CountVariants() const {
  if (type == TEffectType::Custom) return 1;
  const TVariantLayout layout = VariantLayoutOf(type);
  const int directions = CountSet(*this, layout.directionBegin, layout.directionCount);
  if (layout.actionCount == 0) return directions;
  return CountSet(*this, layout.actionBegin, layout.actionCount) * directions;
}

TRef<TVyrEffect> TVyrEffect::Clone() const {
  auto copy = MakeRef<TVyrEffect>();
  copy->type = type;
  copy->smoothing = smoothing;
  copy->variants = variants;
  copy->flags = flags;
  copy->ints = ints;
  copy->reals = reals;
  copy->name = name;
  copy->customSection = customSection;  // read-only once prepared: shared
  return copy;
}

TRef<TVyrEffect> TVyrEffect::KeepVariant(int v) const {
  VYR_ASSERT(v >= 0 && v < variants);
  TRef<TVyrEffect> copy = Clone();
  copy->variants = 1;
  if (type == TEffectType::Custom) return copy;
  const TVariantLayout layout = VariantLayoutOf(type);
  if (layout.actionCount == 0) {
    KeepKthSet(*copy, layout.directionBegin, layout.directionCount, v);
    return copy;
  }
  // Variants run over (action, direction) pairs, action major.
  const int directions = CountSet(*this, layout.directionBegin, layout.directionCount);
  KeepKthSet(*copy, layout.actionBegin, layout.actionCount, v / directions);
  KeepKthSet(*copy, layout.directionBegin, layout.directionCount, v % directions);
  return copy;
}

void TVyrFilter::Dispose() {
  drawFilter_.Reset();
  effect_.Reset();
}

}  // namespace vyr
