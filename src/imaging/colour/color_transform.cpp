#include "imaging/colour/color_transform.h"

#include <mutex>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/colour/color_cube.h"
#include "imaging/colour/lcms_dll.h"

namespace vyr {

namespace {
std::mutex gFactoryLock;
TTransformFactory gFactory = DefaultTransformFactory;
}  // namespace

void TICCColorTransform::Apply(TSysBitmap& bitmap) {
  const int bytes = bitmap.BytesPerPixel();
  const TLcmsDll& lcms = LcmsDll();
  if ((bytes != 3 && bytes != 4) || !lcms.loaded || !source_ || !dest_) return;
  try {
    lcms.SetAdaptationState(0);
    const auto& in = source_->IccData();
    const auto& out = dest_->IccData();
    cmsHPROFILE from = lcms.OpenProfileFromMem(in.data(), static_cast<cmsUInt32Number>(in.size()));
    cmsHPROFILE to = lcms.OpenProfileFromMem(out.data(), static_cast<cmsUInt32Number>(out.size()));
    if (from && to) {
      const cmsUInt32Number format = bytes == 3 ? TYPE_BGR_8 : TYPE_BGRA_8;
      cmsHTRANSFORM transform = lcms.CreateTransform(from, format, to, format, 0, 0);
      if (transform) {
        for (int32_t y = 0; y < bitmap.Height(); ++y)
          lcms.DoTransform(transform, bitmap.Row(y), bitmap.Row(y),
                           static_cast<cmsUInt32Number>(bitmap.Width()));
        lcms.DeleteTransform(transform);
      }
    }
    if (from) lcms.CloseProfile(from);
    if (to) lcms.CloseProfile(to);
  } catch (...) {
  }
}

void TVyrViewerColorTransform::Apply(TSysBitmap& bitmap) {
  if (cube_) bitmap.CopyRect({0, 0, bitmap.Width(), bitmap.Height()}, *cube_, {0, 0});
}

void SetTransformFactory(TTransformFactory factory) {
  std::lock_guard lock(gFactoryLock);
  gFactory = std::move(factory);
}

TRef<TColorTransform> DefaultTransformFactory(const TRef<TColorProfile>& source,
                                              const TRef<TColorProfile>& dest) {
  return MakeRef<TICCColorTransform>(source, dest);
}

TRef<TColorTransform> MakeColorTransform(TRef<TColorProfile> source, TRef<TColorProfile> dest) {
  TTransformFactory factory;
  {
    std::lock_guard lock(gFactoryLock);
    factory = gFactory;
  }
  if (!factory) return nullptr;
  if (!source) source = BuiltinProfile("sRGB");
  if (!dest) dest = OutputProfileOrSRGB();
  if (source == dest) return nullptr;
  return factory(source, dest);
}

TRef<TColorTransform> MakePackagedCubeTransform(const TRef<TColorProfile>& source,
                                                const TRef<TColorProfile>& dest,
                                                const TBitmap* storedCube) {
  if (!storedCube) return nullptr;
  TRef<TSysBitmap> cube = CreateSysBitmap(storedCube->Width(), storedCube->Height(), pf::R8G8B8());
  cube->CopyRect({0, 0, cube->Width(), cube->Height()}, *storedCube, {0, 0});
  for (int32_t y = 0; y < cube->Height(); ++y) {
    uint8_t* row = cube->Row(y);
    const int i = (y / kCubeSide) % kCubeSide, j = y % kCubeSide;
    for (int32_t x = 0; x < cube->Width(); ++x) {
      const int k = x % kCubeSide;
      row[x * 3] = static_cast<uint8_t>(row[x * 3] + CubeLevel(i));
      row[x * 3 + 1] = static_cast<uint8_t>(row[x * 3 + 1] + CubeLevel(j));
      row[x * 3 + 2] = static_cast<uint8_t>(row[x * 3 + 2] + CubeLevel(k));
    }
  }
  return MakeRef<TVyrViewerColorTransform>(source, dest, cube);
}

}  // namespace vyr
