#include "scene/host/slide_host.h"

#include <exception>

#include "foundation/exceptions.h"
#include "imaging/metadata/picture_macros.h"
#include "imaging/text/text_description.h"
#include "imaging/text/vector_text.h"
#include "package/access/picture_cache.h"
#include "package/container/load_callback.h"
#include "scene/button/button_host_link.h"
#include "scene/camera.h"
#include "scene/host/exe_guid.h"
#include "scene/host/reserved_pictures.h"
#include "scene/shadow/shadow_host_link.h"

namespace vyr {

TVyrSlideHost::TVyrSlideHost(TRef<TFileAccessor> files, THostSettings settings)
    : files_(std::move(files)), settings_(std::move(settings)) {
  VYR_ASSERT_MSG(files_, "TVyrSlideHost.Create - Files not Assigned");
  if (settings_.fontCacheKey.empty()) settings_.fontCacheKey = ReadFontCacheKey(*files_);
  if (!settings_.fontCacheKey.empty()) TFontCache::Instance().SetShowKey(settings_.fontCacheKey);
  reserved_ = MakeRef<TReservedPictures>(files_, settings_.frameSize, settings_.effectResource);
  // The provider keeps the picture maker, not the host: a request still running elsewhere
  // finishes safely after the host is gone.
  providerHandle_ = files_->RegisterPictureProvider(
      [reserved = reserved_](const std::string& name) -> TRef<TImage> {
        return reserved->Answers(name) ? reserved->Produce(name) : nullptr;
      });
  InstallShadowProducer(*this);
  buttonProducers_ = InstallButtonProducer(*this);
}

void TVyrSlideHost::Dispose() {
  providerHandle_.Reset();
  {
    std::lock_guard lock(lock_);
    cameraServices_ = {};
  }
  reserved_->ClearProducers();
  TRefObject::Dispose();
}

bool TVyrSlideHost::IsReservedName(std::string_view name) const { return reserved_->Answers(name); }

TRef<TImage> TVyrSlideHost::RequestPicture(const std::string& name) {
  if (!reserved_->Answers(name)) return files_->OpenPicture(name);
  // Through the picture cache, so that simultaneous users share one picture. The cache
  // ignores case, which suits file names but not the texts inside reserved names: the marked
  // form keeps "abc" and "ABC" apart.
  return OpenCachedPicture(MarkCase(name), files_->Source().SourceNumber(), files_->PictureLevel(),
                           [&]() -> TRef<TBitmapStore> {
                             TRef<TImage> picture = reserved_->Produce(name);
                             if (!picture) return nullptr;
                             return TRef<TBitmapStore>::Share(&picture->Store());
                           });
}

void TVyrSlideHost::SetReservedProducer(const std::string& prefix, TReservedProducer producer) {
  reserved_->SetProducer(prefix, std::move(producer));
}

void TVyrSlideHost::SetCameraServices(TCameraServices services) {
  std::lock_guard lock(lock_);
  cameraServices_ = std::move(services);
}

TVyrSlideHost::TCameraServices TVyrSlideHost::CameraServices() const {
  std::lock_guard lock(lock_);
  return cameraServices_;
}

void TVyrSlideHost::SetFrameSize(int width, int height) { reserved_->SetFrameSize(width, height); }

TFrameSize TVyrSlideHost::FrameSize() const { return reserved_->FrameSize(); }

TVec3 TVyrSlideHost::CameraPosition() const {
  const TCameraServices services = CameraServices();
  if (services.position) return services.position();
  const TFrameSize size = FrameSize();
  return DefaultCamera(size.width, size.height).eye;
}

float TVyrSlideHost::CameraZ() const { return CameraPosition().z; }

bool TVyrSlideHost::ViewRay(float x, float y, TVec3& origin, TVec3& direction) const {
  const TCameraServices services = CameraServices();
  if (services.viewRay) return services.viewRay(x, y, origin, direction);
  const TFrameSize size = FrameSize();
  if (size.width <= 0 || size.height <= 0) return false;
  const TVec3 eye = DefaultCamera(size.width, size.height).eye;
  origin = eye;
  direction = TVec3{x - eye.x, y - eye.y, -eye.z};
  return true;
}

bool TVyrSlideHost::GoOn() const { return LoadCallBack(); }

std::string TVyrSlideHost::PictureMacro(const std::string& imageName, std::string_view macro) {
  if (imageName.empty()) return {};
  try {
    TRef<TStream> stream = files_->OpenStream(imageName);
    return stream ? PictureMacroValue(macro, *stream) : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace vyr
