#include "render/transitions/real_slide_filter.h"

#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/animation/slide_timing.h"

namespace vyr {

TRealSlideFilter::TRealSlideFilter(const TIniSection* section) : section_(section) {
  transparentBackground_ = ReadBool(FindKey(section, "TransparentBg"), false);
  customBackground_ = ReadInt(FindKey(section, "CustomEffBg"), 0);
  slideDuration_ = CustomEffectSlideOrigins(section).NextEffectBegin();
}

}  // namespace vyr
