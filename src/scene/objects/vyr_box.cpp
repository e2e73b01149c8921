#include "scene/objects/vyr_box.h"

#include <algorithm>
#include <cmath>

#include "imaging/bitmap/colour.h"
#include "scene/host/slide_host.h"
#include "scene/object_kind.h"
#include "scene/objects/object_keys.h"

namespace vyr {

namespace {
// Opacities at or below half a step of 255 show nothing.
constexpr float kLeastOpacity = 0.00196f;

uint8_t AlphaOf(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }
}  // namespace

void TVyrBox::ReadKeys(const TIniObject* o) {
  if (o) {
    const std::vector<double> size = KeyNumbers(o, "Size");
    SetOwnSize(size.size() >= 2 ? static_cast<float>(size[0]) : 0,
               size.size() >= 2 ? static_cast<float>(size[1]) : 0);
    fill_ = static_cast<TBoxFill>(KeyEnum(
        o, "FillMode", {"Solid", "HGradient", "VGradient", "TLBRGradient", "TRBLGradient"}, 0));
    color1_ = WithAlpha(KeyColor(o, "Color1", 0xFF000000), AlphaOf(KeyInt(o, "Alpha1", 255)));
    color2_ = WithAlpha(KeyColor(o, "Color2", 0xFF000000), AlphaOf(KeyInt(o, "Alpha2", 255)));
    antialiased_ = KeyBool(o, "Antialiased", false);
  }
  TVyrObject::ReadKeys(o);
}

bool TVyrBox::Drawable() const {
  if (Kind() == kKindSplitter) return false;
  if (!(GetOpacity() / 100 > kLeastOpacity)) return false;
  if (fill_ == TBoxFill::Solid) return ColorA(color1_) != 0;
  return ColorA(color1_) != 0 || ColorA(color2_) != 0;
}

void TVyrBox::PrepareResources(TDeviceDrawer& drawer) {
  TVyrSlideHost* host = GetHost();
  if (Shadow().enabled && host && Kind() != kKindSplitter && OwnWidth() > 0 && OwnHeight() > 0) {
    TShadowParams params = BaseShadowParams(Shadow(), 0, false);
    params.right = OwnWidth();
    params.bottom = OwnHeight();
    params.startAlpha = ColorA(color1_);
    params.endAlpha = fill_ == TBoxFill::Solid ? ColorA(color1_) : ColorA(color2_);
    params.fillKind = ShadowFillOfBoxMode(static_cast<int>(fill_));
    dropShadow_.UpdateScaled(params, host->Files());
  } else {
    dropShadow_.Clear();
  }
  TVyrObject::PrepareResources(drawer);
}

void TVyrBox::ReleaseResources() {
  dropShadow_.Clear();
  TVyrObject::ReleaseResources();
}

void TVyrBox::DrawSelf(TDeviceDrawer& drawer) {
  if (!Drawable()) return;
  dropShadow_.DrawOverRect(drawer, Shadow(), Placement(), PivotRect(), GetOpacity());
  drawer.DrawColourBox(Placement(), PivotRect(), color1_, color2_, fill_, GetOpacity(),
                       antialiased_);
}

}  // namespace vyr
