#include "scene/host/reserved_pictures.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

#include "imaging/bitmap/pixel_format.h"
#include "imaging/text/text_picture.h"
#include "package/container/load_callback.h"
#include "project/ini/values.h"
#include "scene/host/grey_mask.h"
#include "scene/host/picture_limits.h"
#include "scene/host/picture_resize.h"
#include "scene/host/placeholder_field.h"
#include "scene/host/preset_mask.h"
#include "scene/host/reserved_names.h"

namespace vyr {
namespace {

TRef<TImage> WrapBitmap(const std::string& name, TRef<TBitmap> bitmap) {
  if (!bitmap) return nullptr;
  return MakeRef<TImage>(MakeRef<TWrapperBitmapStore>(name, nullptr, std::move(bitmap)));
}

}  // namespace

TReservedPictures::TReservedPictures(TRef<TFileAccessor> files,
                                     std::function<TFrameSize()> frameSize,
                                     std::function<TRef<TImage>(int index)> effectResource)
    : files_(std::move(files)),
      frameSizeCallback_(std::move(frameSize)),
      effectResource_(std::move(effectResource)) {}

void TReservedPictures::Dispose() { ClearProducers(); }

void TReservedPictures::ClearProducers() {
  std::lock_guard lock(lock_);
  producers_.clear();
}

bool TReservedPictures::Answers(std::string_view name) const {
  return HasReservedPrefix(name) || FindProducer(name) != nullptr;
}

void TReservedPictures::SetProducer(const std::string& prefix, TProducer producer) {
  std::lock_guard lock(lock_);
  if (producer)
    producers_[prefix] = std::move(producer);
  else
    producers_.erase(prefix);
}

TReservedPictures::TProducer TReservedPictures::FindProducer(std::string_view name) const {
  std::lock_guard lock(lock_);
  // The longest installed prefix wins.
  const TProducer* found = nullptr;
  size_t foundLength = 0;
  for (const auto& [prefix, producer] : producers_) {
    if (StartsWith(name, prefix) && (!found || prefix.size() > foundLength)) {
      found = &producer;
      foundLength = prefix.size();
    }
  }
  return found ? *found : TProducer();
}

void TReservedPictures::SetFrameSize(int width, int height) {
  std::lock_guard lock(lock_);
  frameSize_ = {width, height};
}

TFrameSize TReservedPictures::FrameSize() const {
  if (frameSizeCallback_) return frameSizeCallback_();
  std::lock_guard lock(lock_);
  return frameSize_;
}

TRef<TImage> TReservedPictures::Produce(const std::string& name) {
  try {
    return ProduceOrThrow(name);
  } catch (const std::exception&) {
    return nullptr;
  }
}

TRef<TImage> TReservedPictures::ProduceOrThrow(const std::string& name) {
  const std::string_view n = name;
  if (TProducer producer = FindProducer(n)) return producer(name);
  if (StartsWith(n, kTextPrefix))
    return OpenTextPicture(
        name, [files = files_](const std::string& path) { return files->OpenStream(path); });
  if (StartsWith(n, kMaskPrefix)) return MaskPicture(name, n.substr(kMaskPrefix.size()));
  if (StartsWith(n, kPresetMaskPrefix))
    return PresetMaskPicture(n.substr(kPresetMaskPrefix.size()));
  if (StartsWith(n, kEffectBufferPrefix))
    return EffectBuffer(name, n.substr(kEffectBufferPrefix.size()));
  if (StartsWith(n, kEffectResourcePrefix))
    return EffectResource(name, n.substr(kEffectResourcePrefix.size()));
  if (StartsWith(n, kTextWithSizePrefix))
    return PlaceholderField(name, n.substr(kTextWithSizePrefix.size()));
  if (StartsWith(n, kSlideBackgroundPrefix))
    return SlideBackground(name, n.substr(kSlideBackgroundPrefix.size()));
  return nullptr;  // "Button: " and "Shadow: " before their producers are installed
}

TRef<TImage> TReservedPictures::MaskPicture(const std::string& name, std::string_view file) {
  TRef<TImage> picture = files_->OpenPicture(std::string(file));
  if (!picture) return nullptr;
  TRef<TBitmap> bitmap = picture->Bitmap();
  if (!bitmap) return nullptr;
  return WrapBitmap(name, MakeGreyMask(*bitmap));
}

TRef<TImage> TReservedPictures::PresetMaskPicture(std::string_view fields) {
  const TPresetMaskParams params = ParsePresetMaskName(fields);
  return WrapBitmap(PresetMaskName(params), GeneratePresetMask(params, LoadCallBack));
}

namespace {

// The size written in an effect picture's name, else the frame's; none beyond the bounds.
std::optional<TFrameSize> EffectPictureSize(const TEffectPictureName& parsed, TFrameSize frame) {
  TFrameSize size = frame;
  if (parsed.width && parsed.height && *parsed.width > 0 && *parsed.height > 0)
    size = {*parsed.width, *parsed.height};
  if (!WithinPictureLimits(size.width, size.height)) return std::nullopt;
  return size;
}

}  // namespace

TRef<TImage> TReservedPictures::EffectBuffer(const std::string& name, std::string_view rest) {
  const auto size = EffectPictureSize(ParseEffectPictureName(rest), FrameSize());
  if (!size) return nullptr;
  return WrapBitmap(name, MakeRef<TDirectBitmap>(size->width, size->height, pf::A8R8G8B8()));
}

TRef<TImage> TReservedPictures::EffectResource(const std::string& name, std::string_view rest) {
  if (!effectResource_) return nullptr;
  const TEffectPictureName parsed = ParseEffectPictureName(rest);
  if (!parsed.index) return nullptr;
  const auto size = EffectPictureSize(parsed, FrameSize());
  if (!size) return nullptr;
  TRef<TImage> resource = effectResource_(*parsed.index);
  if (!resource) return nullptr;
  return WrapBitmap(name, StretchPicture(*resource, size->width, size->height));
}

TRef<TImage> TReservedPictures::PlaceholderField(const std::string& name, std::string_view fields) {
  const auto field = ParsePlaceholderField(fields);
  if (!field) return nullptr;
  return WrapBitmap(name, RenderPlaceholderField(*field));
}

TRef<TImage> TReservedPictures::SlideBackground(const std::string& name, std::string_view fields) {
  const size_t colon = fields.find(':');
  if (colon == std::string_view::npos) return nullptr;
  double percent = 100;
  if (!ParseFloat(fields.substr(0, colon), percent) || !std::isfinite(percent)) percent = 100;
  if (percent <= 0) return nullptr;
  TRef<TImage> picture = files_->OpenPicture(std::string(fields.substr(colon + 1)));
  if (!picture || percent == 100) return picture;
  const double width = std::nearbyint(picture->Width() * percent / 100);
  const double height = std::nearbyint(picture->Height() * percent / 100);
  if (width > kMaxHostPictureSide || height > kMaxHostPictureSide) return nullptr;
  const auto w = std::max(1, static_cast<int32_t>(width));
  const auto h = std::max(1, static_cast<int32_t>(height));
  if (!WithinPictureLimits(w, h)) return nullptr;
  return WrapBitmap(name, StretchPicture(*picture, w, h));
}

}  // namespace vyr
