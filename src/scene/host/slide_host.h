#pragma once
// Answers the picture requests of the objects of one show and the camera questions of layout.
// Names with a reserved prefix ("Text: ", "Mask: ", "PresetedMask:", ...) are made here; every
// other name is a file of the show. The host is also a picture provider of the show's files,
// so reserved names opened through the file access are answered the same way.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "foundation/ref_object.h"
#include "imaging/bitmap/bitmap_store.h"
#include "package/access/file_accessor.h"
#include "scene/geometry.h"
#include "scene/host/host_settings.h"

namespace vyr {

class TReservedPictures;
class TButtonProducerHost;

class TVyrSlideHost : public TRefObject {
 public:
  // A reserved-prefix producer ("Button: ", "Shadow: "): none until one is installed.
  using TReservedProducer = std::function<TRef<TImage>(const std::string& name)>;
  // Supplied by the frame composer; a default camera of the frame size otherwise.
  struct TCameraServices {
    std::function<TVec3()> position;
    std::function<bool(float x, float y, TVec3& origin, TVec3& direction)> viewRay;
  };

  TVyrSlideHost(TRef<TFileAccessor> files, THostSettings settings);

  // None when nothing can be made; a missing file gives the file access's placeholder.
  TRef<TImage> RequestPicture(const std::string& name);
  // Installs (or, with an empty producer, removes) the maker of a prefix's pictures. A producer
  // must not keep a counted reference to this host: that would keep the host alive forever.
  void SetReservedProducer(const std::string& prefix, TReservedProducer producer);

  void SetCameraServices(TCameraServices services);
  // Also sets the default camera.
  void SetFrameSize(int width, int height);
  TFrameSize FrameSize() const;
  // Whether the show supplies transition resources ("EffectResource" pictures).
  bool HasEffectResources() const { return static_cast<bool>(settings_.effectResource); }
  TVec3 CameraPosition() const;
  float CameraZ() const;  // CameraPosition().z
  // The ray from the eye through window point (x, y); direction reaches the plane z = 0.
  bool ViewRay(float x, float y, TVec3& origin, TVec3& direction) const;

  // The load-yield hook: false = stop.
  bool GoOn() const;
  int SlideCount() const { return settings_.slideCount; }
  const std::string& FontCacheKey() const { return settings_.fontCacheKey; }
  const std::string& ThemeFolder() const { return settings_.themeFolder; }
  bool ColorManagement() const { return settings_.colorManagement; }
  const TRef<TColorProfile>& DisplayProfile() const { return settings_.displayProfile; }

  // A picture macro's value read from the main image's EXIF/IPTC; empty on any failure.
  std::string PictureMacro(const std::string& imageName, std::string_view macro);
  TFileAccessor& Files() const { return *files_; }

  // Whether the host answers this name itself rather than the show's files.
  bool IsReservedName(std::string_view name) const;
  // The theme producers behind the "Button: " names, for the buttons' theme loading.
  TButtonProducerHost& ButtonProducers() const { return *buttonProducers_; }

 protected:
  void Dispose() override;

 private:
  TCameraServices CameraServices() const;

  TRef<TFileAccessor> files_;
  THostSettings settings_;
  TRef<TReservedPictures> reserved_;
  TRef<TCallbackHandle> providerHandle_;  // the reserved names on the show's files
  std::shared_ptr<TButtonProducerHost> buttonProducers_;

  mutable std::mutex lock_;  // guards the camera services
  TCameraServices cameraServices_;
};

}  // namespace vyr
