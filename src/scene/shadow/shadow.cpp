#include "scene/shadow/shadow.h"

#include <algorithm>
#include <cmath>

#include "imaging/bitmap/pixel_format.h"
#include "package/access/file_accessor.h"

namespace vyr {

bool TShadow::Matches(const TShadowParams& fresh) const {
  return SameShadowParams(params_, scaled_ ? NormaliseScaledParams(fresh) : fresh);
}

TRef<TShadow> MakeShadow(const TImage* picture, const std::string& pictureName,
                         const TShadowParams& params, TFileAccessor& files, float blurScale) {
  TShadowParams p = params;
  const bool ownAlpha =
      picture && picture->Format() == pf::A8R8G8B8() && !pictureName.empty() && !params.animated;
  p.pictureName = ownAlpha ? pictureName : std::string(kNoShadowPicture);
  TShadowParams generated = p;
  generated.blur = p.blur * blurScale;
  TRef<TImage> shadow = files.OpenPicture(ShadowPictureName(generated));
  return MakeRef<TShadow>(std::move(shadow), std::move(p), false);
}

TRef<TShadow> MakeScaledShadow(const TShadowParams& params, TFileAccessor& files) {
  TShadowParams p = NormaliseScaledParams(params);
  TRef<TImage> shadow = files.OpenPicture(ShadowPictureName(p));
  return MakeRef<TShadow>(std::move(shadow), std::move(p), true);
}

float TextShadowBlurScale(float lineHeight, int level) {
  return static_cast<float>(static_cast<int>(lineHeight) >> std::clamp(level, 0, 30)) / 400 * 1.1f;
}

float ButtonShadowBlurScale(float naturalHeight, int level) {
  return static_cast<float>(std::ldexp(1.0, -level) * naturalHeight / 400 * 1.1);
}

float PictureShadowBlurScale(float naturalWidth, float naturalHeight, int level) {
  return static_cast<float>(std::sqrt(static_cast<double>(naturalWidth) * naturalHeight) *
                            std::ldexp(1.0, -level) / 400);
}

uint8_t ShadowFillOfBoxMode(int fillMode) {
  switch (fillMode) {
    case 1:
      return kFillLeftToRight;
    case 2:
      return kFillTopToBottom;
    case 3:
      return kFillTopLeftToBottomRight;
    case 4:
      return kFillTopRightToBottomLeft;
    default:
      return kFillSolid;
  }
}

}  // namespace vyr
