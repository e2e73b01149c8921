// The slide host's name parsers on arbitrary text: preset masks (generated when small),
// sized placeholders, effect pictures and the packaged build identifier.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/stream.h"
#include "scene/host/exe_guid.h"
#include "scene/host/placeholder_field.h"
#include "scene/host/preset_mask.h"
#include "scene/host/reserved_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vyr::TPresetMaskParams mask = vyr::ParsePresetMaskName(text);
  volatile size_t sink = vyr::PresetMaskName(mask).size();
  if (static_cast<int64_t>(mask.width) * mask.height <= 4096)
    sink = sink + (vyr::GeneratePresetMask(mask, nullptr) ? 1 : 0);
  if (const auto field = vyr::ParsePlaceholderField(text))
    sink = sink + static_cast<size_t>(field->width) + field->text.size();
  const vyr::TEffectPictureName effect = vyr::ParseEffectPictureName(text);
  sink = sink + static_cast<size_t>(effect.index.value_or(0));
  vyr::TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  sink = sink + vyr::ReadExeGuid(stream).size();
  (void)sink;
  return 0;
}
