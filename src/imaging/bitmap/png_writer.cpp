#include "imaging/bitmap/png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vyr {

namespace {

struct TPngFailure {
  std::string message;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  static_cast<TPngFailure*>(png_get_error_ptr(png))->message = message;
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

// The libpng part: nothing with a destructor lives here, as an error leaves by longjmp.
bool WriteRows(std::FILE* file, png_bytep* rows, png_uint_32 width, png_uint_32 height, bool alpha,
               const TPngOptions& options, TPngFailure& failure) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
  if (!png) {
    failure.message = "out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    if (failure.message.empty()) failure.message = "out of memory";
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  // What libpng's simplified writer records for 8-bit pictures.
  png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  if (options.level >= 0) png_set_compression_level(png, options.level);
  if (!options.adaptiveFilters) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  png_set_bgr(png);  // the bitmaps hold blue first
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const TBitmap& bitmap, const std::string& path, std::string& error,
              const TPngOptions& options) {
  const bool alpha = bitmap.Format()->HasAlpha();
  const TPixelFormat* format = alpha ? pf::A8R8G8B8() : pf::R8G8B8();
  // Rows in the written layout are used as they are; others are converted first.
  TRef<TDirectBitmap> converted;
  const TBitmap* source = &bitmap;
  if (bitmap.Format() != format) {
    converted = MakeRef<TDirectBitmap>(bitmap.Width(), bitmap.Height(), format);
    converted->CopyRect({0, 0, bitmap.Width(), bitmap.Height()}, bitmap, {0, 0});
    source = converted.Get();
  }
  std::vector<png_bytep> rows(static_cast<size_t>(bitmap.Height()));
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    rows[static_cast<size_t>(y)] = const_cast<png_bytep>(source->Row(y));

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  TPngFailure failure;
  bool written = WriteRows(file, rows.data(), static_cast<png_uint_32>(bitmap.Width()),
                           static_cast<png_uint_32>(bitmap.Height()), alpha, options, failure);
  if (std::fclose(file) != 0 && written) {
    written = false;
    failure.message = "the file could not be written completely";
  }
  if (!written) {
    error = failure.message;
    std::remove(path.c_str());
  }
  return written;
}

}  // namespace vyr
