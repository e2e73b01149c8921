#include "imaging/bitmap/png_writer.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace vyr {

bool WritePng(const TBitmap& bitmap, const std::string& path, std::string& error) {
  const bool alpha = bitmap.Format()->HasAlpha();
  const TPixelFormat* format = alpha ? pf::A8R8G8B8() : pf::R8G8B8();
  auto rows = MakeRef<TDirectBitmap>(bitmap.Width(), bitmap.Height(), format);
  rows->CopyRect({0, 0, bitmap.Width(), bitmap.Height()}, bitmap, {0, 0});
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(bitmap.Width());
  image.height = static_cast<png_uint_32>(bitmap.Height());
  image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rows->Row(0),
                               static_cast<png_int_32>(rows->RowBytes()), nullptr)) {
    error = image.message;
    return false;
  }
  return true;
}

}  // namespace vyr
