#include "project/effects/builder.h"

#include "project/ini/values.h"

namespace vyr {

namespace ep = effect_param;

std::vector<uint8_t> FlagsFromString(std::string_view text, std::span<const int> order) {
  std::vector<uint8_t> flags(order.size(), 0);
  for (size_t k = 0; k < order.size(); ++k) {
    const size_t pos = static_cast<size_t>(order[k] - 1);
    flags[k] = pos < text.size() && text[pos] == '1' ? 1 : 0;
  }
  return flags;
}

std::vector<uint8_t> FlagsFromString(std::string_view text, int count) {
  std::vector<int> order(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) order[k] = k + 1;
  return FlagsFromString(text, order);
}

namespace {

// The four-direction effects take their flags from characters 2, 1, 3, 4.
constexpr std::array<int, 4> kFourDirectionOrder{2, 1, 3, 4};
// Curling reads its eight direction flags backwards.
constexpr std::array<int, 8> kCurlingDirectionOrder{8, 7, 6, 5, 4, 3, 2, 1};

class TBlockReader {
 public:
  explicit TBlockReader(const TEffectProp& block) : block_(block) {}

  std::string Text(std::string_view key) const { return ReadText(block_.Key(key)); }
  int32_t Int(std::string_view key, int32_t fallback) const {
    return ReadInt(block_.Key(key), fallback);
  }
  float Real(std::string_view key, double fallback) const {
    return static_cast<float>(ReadFloat(block_.Key(key), fallback));
  }
  double Smoothing(double fallback) const { return ReadFloat(block_.Key("smoothline"), fallback); }
  uint8_t Flag(std::string_view key) const {
    const std::string text = Text(key);
    return !text.empty() && text[0] == '1' ? 1 : 0;
  }
  uint8_t Checked() const { return ReadBool(block_.Key("checked"), true) ? 1 : 0; }

  // Action flags (characters 1 and 2) followed by the direction flags.
  std::vector<uint8_t> ActionsAndDirections(int actions, std::span<const int> order) const {
    std::vector<uint8_t> flags = FlagsFromString(Text("action"), actions);
    const std::vector<uint8_t> directions = FlagsFromString(Text("direction"), order);
    flags.insert(flags.end(), directions.begin(), directions.end());
    return flags;
  }
  std::vector<uint8_t> ActionsAndDirections(int actions, int directions) const {
    std::vector<int> order(static_cast<size_t>(directions));
    for (int k = 0; k < directions; ++k) order[k] = k + 1;
    return ActionsAndDirections(actions, order);
  }

 private:
  const TEffectProp& block_;
};

}  // namespace

TRef<TVyrEffect> BuildStandardEffect(TEffectType type, const TEffectProp& block, std::string name) {
  const TBlockReader keys(block);
  auto effect = MakeRef<TVyrEffect>();
  effect->type = type;
  effect->name = std::move(name);
  double smoothing = keys.Smoothing(0);
  switch (type) {
    case TEffectType::Dissolve:
      effect->flags = {keys.Checked()};
      break;
    case TEffectType::HourHand:
      effect->flags = keys.ActionsAndDirections(ep::kHourHandActions, ep::kHourHandDirections);
      effect->reals = {keys.Real("offset", 0)};
      smoothing = keys.Smoothing(0.35);
      break;
    case TEffectType::Shapes:
      effect->flags = keys.ActionsAndDirections(ep::kShapesActions, ep::kShapesDirections);
      effect->reals = {keys.Real("centerx", 50), keys.Real("centery", 50)};
      break;
    case TEffectType::Gates:
    case TEffectType::Page:
      effect->flags = keys.ActionsAndDirections(0, ep::kGatesDirections);
      break;
    case TEffectType::Mosaic:
      effect->flags = {keys.Checked()};
      effect->ints = {keys.Int("cols", 1), keys.Int("rows", 1), keys.Int("appearence", 0), 0};
      effect->reals = {keys.Real("appearence", 0)};
      break;
    case TEffectType::Push:
    case TEffectType::Slide:
    case TEffectType::Swap:
      effect->flags = keys.ActionsAndDirections(0, kFourDirectionOrder);
      if (type == TEffectType::Swap)
        effect->reals = {keys.Real("depth", 4), keys.Real("distance", 1), keys.Real("angle", 60)};
      break;
    case TEffectType::Curling:
      effect->flags = keys.ActionsAndDirections(ep::kCurlingActions, kCurlingDirectionOrder);
      effect->flags.push_back(keys.Flag("usecolor"));
      effect->flags.push_back(keys.Flag("usevolume"));
      effect->ints = {keys.Int("pipe", 1), keys.Int("color", 0)};
      effect->reals = {keys.Real("radius", 0), keys.Real("3dvolume", 0.125)};
      break;
    case TEffectType::Flip:
      effect->flags = keys.ActionsAndDirections(0, kFourDirectionOrder);
      effect->flags.push_back(keys.Flag("spin_center"));
      effect->flags.push_back(keys.Flag("nonlinear_speed"));
      effect->reals = {keys.Real("3dvolume", 0.5)};
      break;
    case TEffectType::Custom:
      return nullptr;  // custom effects come from their slide sections
  }
  effect->SetSmoothing(smoothing);
  effect->variants = effect->CountVariants();
  if (effect->variants == 0) return nullptr;
  return effect;
}

}  // namespace vyr
