#pragma once
// Colour transforms between a picture's profile and the display's.

#include <functional>

#include "imaging/colour/color_profile.h"

namespace vyr {

class TColorTransform : public TRefObject {
 public:
  TColorTransform(TRef<TColorProfile> source, TRef<TColorProfile> dest)
      : source_(std::move(source)), dest_(std::move(dest)) {}
  const TRef<TColorProfile>& Source() const { return source_; }
  const TRef<TColorProfile>& Dest() const { return dest_; }
  // Converts the pixels of an "R8G8B8" or "A8R8G8B8" bitmap in place.
  virtual void Apply(TSysBitmap& bitmap) = 0;

 protected:
  TRef<TColorProfile> source_;
  TRef<TColorProfile> dest_;
};

// Through Little CMS, perceptual intent; pixels stay when a profile cannot be opened.
class TICCColorTransform : public TColorTransform {
 public:
  using TColorTransform::TColorTransform;
  void Apply(TSysBitmap& bitmap) override;
};

// Holds a colour cube read from a package; applying copies it (only cubes are given to it).
class TVyrViewerColorTransform : public TColorTransform {
 public:
  TVyrViewerColorTransform(TRef<TColorProfile> source, TRef<TColorProfile> dest,
                           TRef<TSysBitmap> cube)
      : TColorTransform(std::move(source), std::move(dest)), cube_(std::move(cube)) {}
  void Apply(TSysBitmap& bitmap) override;

 private:
  TRef<TSysBitmap> cube_;
};

// The installed factory is asked with both profiles already resolved and different. The show
// file access installs one that first looks for the package's stored cube (see
// MakePackagedCubeTransform); the default makes a TICCColorTransform.
using TTransformFactory = std::function<TRef<TColorTransform>(const TRef<TColorProfile>& source,
                                                              const TRef<TColorProfile>& dest)>;
void SetTransformFactory(TTransformFactory factory);
TRef<TColorTransform> DefaultTransformFactory(const TRef<TColorProfile>& source,
                                              const TRef<TColorProfile>& dest);

// Source none -> built-in "sRGB"; dest none -> the output profile or sRGB; the same object on
// both sides -> none (no conversion); none when no factory is installed.
TRef<TColorTransform> MakeColorTransform(TRef<TColorProfile> source, TRef<TColorProfile> dest);

// A package stores a cube (32 x 1024) as differences from the identity cube: the transform
// holding the restored cube, or none when no picture is given.
TRef<TColorTransform> MakePackagedCubeTransform(const TRef<TColorProfile>& source,
                                                const TRef<TColorProfile>& dest,
                                                const TBitmap* storedCube);

}  // namespace vyr
