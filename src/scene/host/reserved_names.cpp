#include "scene/host/reserved_names.h"

#include <cstdint>

#include "imaging/text/text_description.h"
#include "project/ini/values.h"

namespace vyr {

bool HasReservedPrefix(std::string_view name) {
  for (std::string_view prefix :
       {kButtonPrefix, kShadowPrefix, kTextPrefix, kMaskPrefix, kPresetMaskPrefix,
        kEffectBufferPrefix, kEffectResourcePrefix, kTextWithSizePrefix, kSlideBackgroundPrefix})
    if (StartsWith(name, prefix)) return true;
  return false;
}

TEffectPictureName ParseEffectPictureName(std::string_view rest) {
  TEffectPictureName result;
  if (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') result.index = rest[0] - '0';
  const size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return result;
  const std::string_view size = rest.substr(comma + 1);
  const size_t second = size.find(',');
  if (second == std::string_view::npos) return result;
  int32_t width = 0, height = 0;
  if (ParseInt32(size.substr(0, second), width) && ParseInt32(size.substr(second + 1), height)) {
    result.width = width;
    result.height = height;
  }
  return result;
}

}  // namespace vyr
