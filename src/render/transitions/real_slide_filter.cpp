#include "render/transitions/real_slide_filter.h"

#include "project/ini_lookup.h"
#include "project/ini_values.h"
#include "scene/slide_timing.h"

namespace vyr {

TRealSlideFilter::TRealSlideFilter(const TIniSection* section) : section_(section) {
  transparentBackground_ = ReadBool(FindKey(section, "TransparentBg"), false);
  customBackground_ = ReadInt(FindKey(section, "CustomEffBg"), 0);
  slideDuration_ = CustomEffectSlideOrigins(section).NextEffectBegin();
}

}  // namespace vyr
