#pragma once
// An object's drop shadow: the generated picture, opened through the show's file access
// under its "Shadow: " name, and the parameters it was made from.

#include <string>

#include "imaging/bitmap/bitmap_store.h"
#include "scene/shadow/shadow_params.h"

namespace vyr {

class TFileAccessor;

class TShadow : public TRefObject {
 public:
  TShadow(TRef<TImage> picture, TShadowParams params, bool scaled)
      : picture_(std::move(picture)), params_(std::move(params)), scaled_(scaled) {}

  TImage* Picture() const { return picture_.Get(); }
  const TShadowParams& Params() const { return params_; }
  bool Scaled() const { return scaled_; }
  void SetFollow3D(bool follow) { params_.follow3D = follow; }
  // The length the shadow distance is a percentage of; set by the object before each draw.
  float DistanceBase() const { return distanceBase_; }
  void SetDistanceBase(float base) { distanceBase_ = base; }

  // Whether fresh parameters (not yet normalised) give this same shadow.
  bool Matches(const TShadowParams& fresh) const;

 private:
  TRef<TImage> picture_;
  TShadowParams params_;
  bool scaled_;
  float distanceBase_ = 0;
};

// Pictures, texts and buttons: the blur is multiplied by blurScale; the picture's alpha is the
// silhouette when it is 32-bit with alpha, named and not animated.
TRef<TShadow> MakeShadow(const TImage* picture, const std::string& pictureName,
                         const TShadowParams& params, TFileAccessor& files, float blurScale);
// Boxes and videos: a normalised silhouette of about 40,000 pixels.
TRef<TShadow> MakeScaledShadow(const TShadowParams& params, TFileAccessor& files);

// Blur scales of the objects' kinds.
float TextShadowBlurScale(float lineHeight, int level);
float ButtonShadowBlurScale(float naturalHeight, int level);
float PictureShadowBlurScale(float naturalWidth, float naturalHeight, int level);
// A box's fill mode (Solid, HGradient, VGradient, TLBRGradient, TRBLGradient as 0..4) as a
// fill kind.
uint8_t ShadowFillOfBoxMode(int fillMode);

}  // namespace vyr
