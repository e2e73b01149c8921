#include "scene/host/placeholder_field.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/line_breaks.h"
#include "imaging/bitmap/pixel_format.h"
#include "imaging/text/text_picture.h"
#include "imaging/text/text_producer.h"
#include "project/ini/values.h"
#include "scene/host/picture_limits.h"

namespace vyr {
namespace {

bool ParseSide(std::string_view text, int32_t& side) {
  double value = 0;
  if (!ParseFloat(text, value) || !std::isfinite(value) || value < 0 || value > 1e9) return false;
  side = static_cast<int32_t>(std::nearbyint(value));
  return side >= 1;
}

// Straight-alpha source over an opaque target at (left, top).
void BlendOver(TBitmap& target, const TBitmap& source, int32_t left, int32_t top) {
  for (int32_t y = 0; y < source.Height(); ++y) {
    const int32_t ty = top + y;
    if (ty < 0 || ty >= target.Height()) continue;
    const uint8_t* in = source.Row(y);
    uint8_t* out = target.Row(ty);
    for (int32_t x = 0; x < source.Width(); ++x) {
      const int32_t tx = left + x;
      if (tx < 0 || tx >= target.Width()) continue;
      const uint8_t* s = in + 4 * x;
      uint8_t* d = out + 4 * tx;
      const int a = s[3];
      for (int c = 0; c < 3; ++c)
        d[c] = static_cast<uint8_t>((s[c] * a + d[c] * (255 - a) + 127) / 255);
    }
  }
}

}  // namespace

std::optional<TPlaceholderField> ParsePlaceholderField(std::string_view fields) {
  const size_t first = fields.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = fields.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  TPlaceholderField field;
  if (!ParseSide(fields.substr(0, first), field.width) ||
      !ParseSide(fields.substr(first + 1, second - first - 1), field.height))
    return std::nullopt;
  const int32_t larger = std::max(field.width, field.height);
  if (larger > kMaxPlaceholderFieldSide) {
    const double shrink = static_cast<double>(kMaxPlaceholderFieldSide) / larger;
    field.width = std::max(1, static_cast<int32_t>(std::nearbyint(field.width * shrink)));
    field.height = std::max(1, static_cast<int32_t>(std::nearbyint(field.height * shrink)));
  }
  field.text = std::string(fields.substr(second + 1));
  return field;
}

TRef<TDirectBitmap> RenderPlaceholderField(const TPlaceholderField& field) {
  const int32_t w = field.width, h = field.height;
  auto picture = MakeRef<TDirectBitmap>(w, h, pf::A8R8G8B8());
  picture->FillRect({0, 0, w, h}, kFieldOuterColor);
  const auto inset = static_cast<int32_t>(std::nearbyint(0.02 * h));
  picture->FillRect({inset, inset, w - inset, h - inset}, kFieldInnerColor);
  if (field.text.empty()) return picture;

  TTextParams params;
  params.alignment = kAlignCenter;
  const TTextDescription description =
      ParseTextDescription(FormatTextDescription(params, SplitLines(field.text)));
  TRef<TCachedVectorText> text = LoadVectorText(description, nullptr);
  TTextRender render = TextRenderOf(description.params);
  const TTextLayout natural = TTextProducer::Measure(*text, render);
  if (natural.width < 1 || natural.height < 1) return picture;
  const double k = std::min(0.9 * w / natural.width, 0.2 * h / natural.height);
  render.scale *= k;
  render.scale = TTextProducer::BoundedScale(*text, render);
  TRef<TDirectBitmap> glyphs = TTextProducer::Render(*text, render);
  if (!glyphs) return picture;
  BlendOver(*picture, *glyphs, (w - glyphs->Width()) / 2, (h - glyphs->Height()) / 2);
  return picture;
}

}  // namespace vyr
