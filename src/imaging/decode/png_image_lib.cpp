// The PNG picture library over libpng, behind the picture-library interface.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "imaging/decode/image_lib.h"
#include "imaging/decode/picture_budget.h"

namespace vyr {

namespace {

// Deflate cannot expand data by more than about 1032 times.
constexpr int64_t kMaxDeflateRatio = 1032;
// libpng refuses longer sides while it reads the header (the pixel budget is the caller's).
constexpr png_uint_32 kMaxPictureSide = 1u << 20;

struct TPngContext {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const TStreamCallbacks* callbacks = nullptr;
  int64_t position = 0;
  int passes = 1;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t*> rows;
};

void ReadData(png_structp png, png_bytep out, png_size_t count) {
  auto* ctx = static_cast<TPngContext*>(png_get_io_ptr(png));
  const int64_t got = ctx->callbacks->read(ctx->callbacks->context, out,
                                           static_cast<int64_t>(count), ctx->position);
  if (got != static_cast<int64_t>(count)) png_error(png, "read past end");
  ctx->position += got;
}

void Warning(png_structp, png_const_charp) {}

void Destroy(TPngContext* ctx) {
  png_destroy_read_struct(&ctx->png, ctx->info ? &ctx->info : nullptr, nullptr);
  delete ctx;
}

// Reads the header and sets the transforms; false on any libpng error.
bool OpenPng(TPngContext* ctx, TImageData* image) {
  if (setjmp(png_jmpbuf(ctx->png))) return false;
  png_set_read_fn(ctx->png, ctx, ReadData);
  png_set_user_limits(ctx->png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(ctx->png, ctx->info);
  png_charp profileName = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 profileSize = 0;
  if (png_get_iCCP(ctx->png, ctx->info, &profileName, &compression, &profile, &profileSize) ==
      PNG_INFO_iCCP) {
    image->profile = profile;
    image->profileSize = profileSize;
  }
  png_uint_32 width = 0, height = 0;
  int depth = 0, type = 0;
  png_get_IHDR(ctx->png, ctx->info, &width, &height, &depth, &type, nullptr, nullptr, nullptr);
  const bool alpha =
      (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(ctx->png, ctx->info, PNG_INFO_tRNS);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(ctx->png);
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
    if (depth < 8) png_set_expand_gray_1_2_4_to_8(ctx->png);
    png_set_gray_to_rgb(ctx->png);
  }
  if (png_get_valid(ctx->png, ctx->info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(ctx->png);
  if (depth == 16) png_set_scale_16(ctx->png);
  png_set_bgr(ctx->png);
  ctx->passes = png_set_interlace_handling(ctx->png);
  png_read_update_info(ctx->png, ctx->info);
  image->width = static_cast<int32_t>(width);
  image->height = static_cast<int32_t>(height);
  image->bitsPerPixel = alpha ? 32 : 24;
  return png_get_rowbytes(ctx->png, ctx->info) == static_cast<size_t>(width) * (alpha ? 4 : 3);
}

bool OpenImage(TImageData* image, const TStreamCallbacks* callbacks) {
  auto* ctx = new TPngContext;
  ctx->callbacks = callbacks;
  uint8_t signature[8];
  if (callbacks->read(callbacks->context, signature, 8, 0) != 8 ||
      png_sig_cmp(signature, 0, 8) != 0) {
    delete ctx;
    return false;
  }
  ctx->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, Warning);
  if (ctx->png) ctx->info = png_create_info_struct(ctx->png);
  if (!ctx->png || !ctx->info || !OpenPng(ctx, image)) {
    Destroy(ctx);
    return false;
  }
  // The picture must be something the file's compressed data can fill.
  const int64_t bytes = int64_t{image->width} * image->height * (image->bitsPerPixel / 8);
  if (image->width <= 0 || image->height <= 0 ||
      bytes > callbacks->size(callbacks->context) * kMaxDeflateRatio + (int64_t{1} << 24)) {
    Destroy(ctx);
    return false;
  }
  image->context = reinterpret_cast<uintptr_t>(ctx);
  return true;
}

bool OpenImageFile(TImageData*, const char*) { return false; }

// Decodes into the context's rows, pass by pass; an error or a decode told to stop keeps
// what was decoded.
void ReadRows(TPngContext* ctx) {
  if (setjmp(png_jmpbuf(ctx->png))) return;
  for (int pass = 0; pass < ctx->passes; ++pass)
    for (uint8_t* row : ctx->rows) {
      if (!DecodeGoOn()) return;
      png_read_row(ctx->png, row, nullptr);
    }
}

void ReadImage(TImageData* image) {
  auto* ctx = reinterpret_cast<TPngContext*>(image->context);
  if (!ctx || image->rows) return;
  const size_t rowBytes = static_cast<size_t>(image->width) * (image->bitsPerPixel / 8);
  ctx->pixels.assign(rowBytes * static_cast<size_t>(image->height), 0);
  ctx->rows.resize(static_cast<size_t>(image->height));
  for (int32_t y = 0; y < image->height; ++y) ctx->rows[y] = &ctx->pixels[rowBytes * y];
  ReadRows(ctx);
  image->rows = ctx->rows.data();
}

void CloseImage(TImageData* image) {
  auto* ctx = reinterpret_cast<TPngContext*>(image->context);
  if (ctx) Destroy(ctx);
  image->context = 0;
  image->rows = nullptr;
}

}  // namespace

void LoadPngLibrary(TImageLibExports& exports) {
  exports.OpenImage = OpenImage;
  exports.OpenImageFile = OpenImageFile;
  exports.ReadImage = ReadImage;
  exports.CloseImage = CloseImage;
}

}  // namespace vyr
