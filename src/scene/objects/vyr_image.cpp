#include "scene/objects/vyr_image.h"

#include <algorithm>
#include <cmath>

#include "foundation/log.h"
#include "imaging/decode/picture_budget.h"
#include "package/access/placeholder_picture.h"
#include "scene/filters/managed_cube.h"
#include "scene/host/slide_host.h"
#include "scene/object_kind.h"
#include "scene/objects/object_keys.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

void TVyrImage::InitDefaults() {
  antialiased_ = true;
  filtering_ = TFiltering::Default;
}

void TVyrImage::ReadKeys(const TIniObject* o) {
  if (o) {
    const std::string oldRequest = RequestName();
    antialiased_ = KeyBool(o, "Antialiased", true);
    static constexpr TFiltering kFilterings[] = {TFiltering::Nearest, TFiltering::Bilinear,
                                                 TFiltering::Default};
    filtering_ = kFilterings[KeyEnum(o, "Filtering", {"Nearest", "Bilinear", "Default"}, 2)];
    imageName_ = KeyText(o, "ImageName", "");
    lodBias_ = KeyFloat(o, "MipLodBias", 0);
    replaceWithEffectBuffer_ = KeyInt(o, "ReplaceWithEffectBuffer", 0);
    ReadBorderKeys(o, border_);
    animation_.enabled = Kind() == kKindAniImage;
    animation_.columns = std::max(1, KeyInt(o, "AnimColumns", 1));
    animation_.rows = std::max(1, KeyInt(o, "AnimRows", 1));
    animation_.repeatCount = KeyInt(o, "AnimRepCount", 0);
    animation_.offset = KeyFloat(o, "AnimOffset", 0);
    animation_.count = KeyInt(o, "AnimCount", 0);
    animation_.intervals.clear();
    for (double v : KeyNumbers(o, "AnimInterval")) animation_.intervals.push_back(int(v));
    imageIndex_.reset();
    if (HasKey(o, "ImageIndex")) imageIndex_ = KeyInt(o, "ImageIndex", 0);
    restoreAlpha_ = KeyBool(o, "RestoreAlpha", false);
    if (RequestName() != oldRequest) {
      previousImage_ = image_;
      image_.Reset();
      requested_ = false;
    }
  }
  TVyrObject::ReadKeys(o);
}

std::string TVyrImage::RequestName() const {
  if (replaceWithEffectBuffer_ > 0) {
    TVyrSlideHost* host = GetHost();
    const TFrameSize size = host ? host->FrameSize() : TFrameSize{};
    // Without the show's transition resources the host answers only "SlideEffectBuffer".
    const std::string_view prefix =
        host && host->HasEffectResources() ? "EffectResource" : "SlideEffectBuffer";
    return std::string(prefix) + std::to_string(replaceWithEffectBuffer_) + ", " +
           std::to_string(size.width) + ", " + std::to_string(size.height);
  }
  if (imageName_.empty()) return {};
  return restoreAlpha_ ? "Mask: " + imageName_ : imageName_;
}

bool TVyrImage::EnsureImage() {
  if (image_) return true;
  if (requested_) return false;
  requested_ = true;
  TVyrSlideHost* host = GetHost();
  const std::string name = RequestName();
  if (!host || name.empty()) return false;
  TRef<TImage> picture = host->RequestPicture(name);
  if (!picture) return false;  // nothing drawn; the size stays as it was
  TakePicture(std::move(picture));
  return true;
}

void TVyrImage::TakePicture(TRef<TImage> picture) {
  image_ = std::move(picture);
  previousImage_.Reset();
  // Masks give only their alpha; generated pictures carry no profile.
  TVyrSlideHost* host = GetHost();
  colourManagement_ = host && host->ColorManagement() && !restoreAlpha_
                          ? PictureColourLookup(image_->Store().Profile(), host->DisplayProfile())
                          : nullptr;
  handedLevel_ = -1;
  float w = 0, h = 0;
  if (GetNaturalSize(w, h)) SetOwnSize(w, h);
  changed_ = true;
}

bool TVyrImage::GetNaturalSize(float& width, float& height) {
  if (!image_) return false;
  const float w = static_cast<float>(image_->Width()), h = static_cast<float>(image_->Height());
  if (Kind() == kKindAniImage) {
    width = w / animation_.columns;
    height = h / animation_.rows;
    return true;
  }
  const TFrameResult frame = ComputeFrame(FrameWorkingCopy(border_, 100, 0, 0), w, h);
  width = frame.contentWidth;
  height = frame.contentHeight;
  return true;
}

void TVyrImage::SetTime(bool recursive, double showTime) {
  TVyrObject::SetTime(false, showTime);
  if (animation_.enabled) {
    const int frame = AnimationFrame(animation_, showTime - GetOriginTime(kSlideBegin));
    if (frame != animationFrame_) animationFrameChanged_ = true;
    animationFrame_ = frame;
  }
  if (recursive)
    for (int i = 0; i < ChildCount(); ++i) Child(i)->SetTime(true, showTime);
}

void TVyrImage::ComputeFrameAndLevel() {
  if (!image_) {
    visible_ = {};
    margin_ = 0;
    return;
  }
  const float w = static_cast<float>(image_->Width()), h = static_cast<float>(image_->Height());
  if (animation_.enabled) {
    const float cw = w / animation_.columns, ch = h / animation_.rows;
    const int column = animationFrame_ % animation_.columns;
    const int row = animationFrame_ / animation_.columns;
    visible_ = {column * cw, row * ch, (column + 1) * cw, (row + 1) * ch};
    margin_ = 0;
    level_ = 0;
    return;
  }
  const TFrameResult frame =
      ComputeFrame(FrameWorkingCopy(border_, Zoom(), OffsX(), OffsY()), w, h);
  visible_ = frame.visible;
  margin_ = frame.margin;
  if (NeededWidth() > 0 && NeededHeight() > 0)
    level_ = ReductionLevel(NeededWidth(), NeededHeight(), visible_.Width(), visible_.Height(),
                            handedLevel_);
}

void TVyrImage::UpdateLayout(bool recursive) {
  ComputeFrameAndLevel();
  TVyrObject::UpdateLayout(recursive);
}

bool TVyrImage::IsChanged() const { return animationFrameChanged_ || TVyrObject::IsChanged(); }

void TVyrImage::CommitState(bool recursive) {
  animationFrameChanged_ = false;
  TVyrObject::CommitState(recursive);
}

void TVyrImage::GetColourLookup(TImageDrawParams& params) {
  const TVyrObjectProps& props = Props();
  const TColorLut* managed = colourManagement_.get();
  params.lutForm = TLutForm::kNone;
  if (!props.HasColorKeyFrames()) {
    if (!managed) return;
    params.lutForm = TLutForm::kCross;
    params.leftLut = params.rightLut = managed;
    params.lutMix = 0;
    return;
  }
  // The filters act on the colour-management cube.
  const TObjectFilter* left = props.ColorLeftFilters();
  const TObjectFilter* right = props.ColorRightFilters();
  params.lutForm = PairLutForm(left, right, managed != nullptr);
  if (params.lutForm == TLutForm::kNone) return;
  params.leftLut = &leftTables_.Get(left, params.lutForm, managed);
  params.rightLut = &rightTables_.Get(right, params.lutForm, managed);
  params.lutMix = static_cast<float>(props.ColorFraction());
}

void TVyrImage::FillDrawParams(TDeviceDrawer& /*drawer*/, TImageDrawParams& params) {
  params.placement = Placement();
  params.pivotRect = PivotRect();
  params.sourceRect = visible_;
  params.reductionLevel = level_;
  params.opacity = GetDrawOpacity();
  params.filtering = filtering_;
  params.lodBias = lodBias_;
  params.antialiased = antialiased_;
  GetColourLookup(params);
  // The margin in own-plane units: the own rectangle holds the content plus two margins.
  const float contentHeight = visible_.Height() + 2 * margin_;
  params.borderMargin = contentHeight > 0 ? margin_ * OwnHeight() / contentHeight : 0;
  params.borderColor = border_.borderColor;
  params.mask = restoreAlpha_;
}

void TVyrImage::DrawSelf(TDeviceDrawer& drawer) {
  TImage* picture = image_ ? image_.Get() : previousImage_.Get();
  if (!picture) return;
  TImageDrawParams params;
  FillDrawParams(drawer, params);
  DrawShadow(drawer, params);
  drawer.DrawImage(*picture, params);
  if (picture == image_.Get()) handedLevel_ = std::max(handedLevel_, params.reductionLevel);
}

void TVyrImage::DecodeAtDrawLevel() {
  if (!EnsureImage()) return;
  ComputeFrameAndLevel();
  try {
    image_->Store().GetMipLevel(std::max(level_, 0));
  } catch (const std::exception&) {
    // Preparing the picture meets the same error and shows the placeholder.
  }
}

void TVyrImage::PreparePicture(TDeviceDrawer& drawer) {
  ComputeFrameAndLevel();  // the needed size may have changed since the last layout
  UpdateShadow();
  TImageDrawParams params;
  FillDrawParams(drawer, params);
  drawer.PrepareImage(*image_, params);
}

void TVyrImage::PrepareResources(TDeviceDrawer& drawer) {
  if (EnsureImage()) {
    try {
      PreparePicture(drawer);
    } catch (const std::exception& e) {
      // A picture whose header was read but whose data does not decode shows the load-error
      // placeholder, as one that does not open at all; a decode told to stop is left alone.
      if (!DecodeGoOn()) throw;
      WriteLine("Picture \"" + image_->Name() + "\" not decoded: " + e.what());
      TRef<TImage> placeholder = MakePlaceholderPicture(
          TPlaceholderKind::Image, TPlaceholderReason::LoadError, image_->Name());
      if (placeholder) {
        TakePicture(std::move(placeholder));
        PreparePicture(drawer);
      } else {
        image_.Reset();
      }
    }
  }
  TVyrObject::PrepareResources(drawer);
}

void TVyrImage::ReleaseResources() {
  image_.Reset();
  previousImage_.Reset();
  colourManagement_.reset();
  requested_ = false;
  handedLevel_ = -1;
  dropShadow_.Clear();
  TVyrObject::ReleaseResources();
}

// ---- drop shadow ----

float TVyrImage::NaturalWidth() const {
  float w = 0, h = 0;
  return const_cast<TVyrImage*>(this)->GetNaturalSize(w, h) ? w : 0;
}

float TVyrImage::NaturalHeight() const {
  float w = 0, h = 0;
  return const_cast<TVyrImage*>(this)->GetNaturalSize(w, h) ? h : 0;
}

void TVyrImage::ShadowSilhouette(TShadowParams& params) const {
  const int level = std::clamp(level_, 0, 30);
  if (animation_.enabled) {
    params.right = static_cast<float>(image_->Width() >> level) / animation_.columns;
    params.bottom = static_cast<float>(image_->Height() >> level) / animation_.rows;
    return;
  }
  // The frame of the natural size: no zoom or pan, so the shadow does not follow them.
  const TFrameResult frame =
      ComputeFrame(FrameWorkingCopy(border_, 100, 0, 0), static_cast<float>(image_->Width()),
                   static_cast<float>(image_->Height()));
  const float f = static_cast<float>(std::ldexp(1.0, -level));
  params.left = frame.visible.left * f;
  params.top = frame.visible.top * f;
  params.right = frame.visible.right * f;
  params.bottom = frame.visible.bottom * f;
  params.marginX = params.marginY = frame.margin * f;
  params.frameAlpha = static_cast<int>(border_.borderColor >> 24);
}

float TVyrImage::ShadowBlurScale() const {
  return PictureShadowBlurScale(NaturalWidth(), NaturalHeight(), level_);
}

float TVyrImage::ShadowDistanceBase() const { return std::sqrt(NaturalWidth() * NaturalHeight()); }

void TVyrImage::UpdateShadow() {
  TVyrSlideHost* host = GetHost();
  if (!Shadow().enabled || !image_ || !host || !(NaturalWidth() > 0) || !(NaturalHeight() > 0)) {
    dropShadow_.Clear();
    return;
  }
  TShadowParams params = BaseShadowParams(Shadow(), level_, animation_.enabled);
  ShadowSilhouette(params);
  dropShadow_.Update(params, image_.Get(), RequestName(), host->Files(), ShadowBlurScale());
}

void TVyrImage::DrawShadow(TDeviceDrawer& drawer, const TImageDrawParams& objectParams) {
  const float nw = NaturalWidth(), nh = NaturalHeight();
  if (!Shadow().enabled || !dropShadow_.Get() || !(nw > 0) || !(nh > 0)) return;
  // The shadow is planned in picture pixels; the object's plane may be in other units.
  const float sx = OwnWidth() / nw, sy = OwnHeight() / nh;
  if (!(sx > 0) || !(sy > 0)) return;
  const TPlacement& placement = objectParams.placement;
  TShadowDrawInput in;
  in.origin = placement.origin;
  in.axisX = {placement.axisX.x * sx, placement.axisX.y * sx, placement.axisX.z * sx};
  in.axisY = {placement.axisY.x * sy, placement.axisY.y * sy, placement.axisY.z * sy};
  in.cornerX = objectParams.pivotRect.left / sx;
  in.cornerY = objectParams.pivotRect.top / sy;
  in.opacity = objectParams.opacity * Shadow().opacity / 100;
  in.angle = static_cast<float>(Shadow().angle);
  in.distance = Shadow().distance;
  dropShadow_.Draw(drawer, Shadow(), in, ShadowDistanceBase(), placement.axisZ);
}

}  // namespace vyr
