#include "render/device/device_types.h"

#include "foundation/exceptions.h"

namespace vyr {

bool IsManagedKind(TTextureKind kind) {
  return kind == TTextureKind::Picture || kind == TTextureKind::GreyPicture ||
         kind == TTextureKind::Picture565;
}

bool IsRenderTargetKind(TTextureKind kind) {
  return kind == TTextureKind::TargetOpaque || kind == TTextureKind::TargetAlpha;
}

TSurfaceFormat KindFormat(TTextureKind kind) {
  switch (kind) {
    case TTextureKind::Picture:
    case TTextureKind::TargetAlpha:
      return TSurfaceFormat::A8R8G8B8;
    case TTextureKind::TargetOpaque:
      return TSurfaceFormat::X8R8G8B8;
    case TTextureKind::GreyPicture:
      return TSurfaceFormat::L8;
    case TTextureKind::Picture565:
      return TSurfaceFormat::R5G6B5;
  }
  AssertionFailed("Wrong texture kind", __FILE__, __LINE__);
}

int BytesPerPixel(TSurfaceFormat format) {
  switch (format) {
    case TSurfaceFormat::A8R8G8B8:
    case TSurfaceFormat::X8R8G8B8:
      return 4;
    case TSurfaceFormat::R5G6B5:
    case TSurfaceFormat::X1R5G5B5:
    case TSurfaceFormat::A1R5G5B5:
      return 2;
    case TSurfaceFormat::A8:
    case TSurfaceFormat::L8:
      return 1;
  }
  AssertionFailed("Wrong surface format", __FILE__, __LINE__);
}

std::string BitmapFormatName(TSurfaceFormat format) {
  switch (format) {
    case TSurfaceFormat::A8R8G8B8:
    case TSurfaceFormat::X8R8G8B8:
      return "A8R8G8B8";
    case TSurfaceFormat::R5G6B5:
      return "R5G6B5";
    case TSurfaceFormat::X1R5G5B5:
    case TSurfaceFormat::A1R5G5B5:
      return "X1R5G5B5";
    case TSurfaceFormat::A8:
      return "A8";
    case TSurfaceFormat::L8:
      return "Y8";
  }
  AssertionFailed("Wrong surface format", __FILE__, __LINE__);
}

}  // namespace vyr
