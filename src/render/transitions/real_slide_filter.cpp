#include "render/transitions/real_slide_filter.h"

#include "project/ini_lookup.h"
#include "project/ini_values.h"

namespace vyr {

TRealSlideFilter::TRealSlideFilter(const TIniSection* section) : section_(section) {
  transparentBackground_ = ReadBool(FindKey(section, "TransparentBg"), false);
  customBackground_ = ReadInt(FindKey(section, "CustomEffBg"), 0);
}

}  // namespace vyr
