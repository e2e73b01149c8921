#include "project/effects/types.h"

#include <array>
#include <utility>

#include "foundation/case_fold.h"

namespace vyr {

namespace {

constexpr std::array<std::pair<TEffectKind, std::string_view>, 14> kKindNames{{
    {TEffectKind::Default, "default"},
    {TEffectKind::DefOwnTime, "defowntime"},
    {TEffectKind::Dissolve, "dissolve"},
    {TEffectKind::Quick, "quick"},
    {TEffectKind::HourHand, "hourhand"},
    {TEffectKind::Shapes, "shapes"},
    {TEffectKind::Gates, "gates"},
    {TEffectKind::Page, "page"},
    {TEffectKind::Mosaic, "mosaic"},
    {TEffectKind::Push, "push"},
    {TEffectKind::Slide, "slide"},
    {TEffectKind::Curling, "curling"},
    {TEffectKind::Flip, "flip"},
    {TEffectKind::Swap, "swap"},
}};

}  // namespace

TEffectKind EffectKindFromCode(int code) {
  if (code >= static_cast<int>(TEffectKind::Default) && code <= static_cast<int>(TEffectKind::Swap))
    return static_cast<TEffectKind>(code);
  return TEffectKind::Custom;
}

std::optional<TEffectType> EffectTypeOfKind(TEffectKind kind) {
  switch (kind) {
    case TEffectKind::Default:
    case TEffectKind::DefOwnTime:
    case TEffectKind::Quick:
    case TEffectKind::Custom:
      return std::nullopt;
    case TEffectKind::Dissolve:
      return TEffectType::Dissolve;
    default:
      // HourHand (4) .. Swap (13) map onto HourHand (2) .. Swap (11).
      return static_cast<TEffectType>(static_cast<int>(kind) - 2);
  }
}

std::optional<TEffectKind> EffectKindFromName(std::string_view name) {
  for (const auto& [kind, kindName] : kKindNames)
    if (SameName(name, kindName)) return kind;
  return std::nullopt;
}

std::string_view EffectKindName(TEffectKind kind) {
  for (const auto& [k, kindName] : kKindNames)
    if (k == kind) return kindName;
  return {};
}

std::string_view EffectTypeName(TEffectType type) {
  if (type == TEffectType::Custom) return "custom";
  if (type == TEffectType::Dissolve) return "dissolve";
  return EffectKindName(static_cast<TEffectKind>(static_cast<int>(type) + 2));
}

}  // namespace vyr
