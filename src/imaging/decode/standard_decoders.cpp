#include "imaging/decode/standard_decoders.h"

#include "imaging/decode/bmp_reader.h"
#include "imaging/decode/gfx_container.h"
#include "imaging/decode/gif_decoder.h"
#include "imaging/decode/image_lib.h"
#include "imaging/decode/jpeg_decoder.h"

namespace vyr {

namespace {

TRef<TBitmapStore> DecodeContainer(const TRef<TStream>& s, const std::string& name,
                                   const TRotationHook& rotation) {
  return ReadGfxContainer(*s, name, rotation);
}

TRef<TBitmapStore> DecodeBmp(const TRef<TStream>& s, const std::string& name,
                             const TRotationHook& rotation) {
  TRef<TDirectBitmap> bitmap = ReadBmp(*s, name);
  if (!bitmap) return nullptr;
  return MakeRef<TWrapperBitmapStore>(name, rotation,
                                      MakeRef<TSysDirectWrapper>(bitmap.Get(), true));
}

TRef<TBitmapStore> DecodeJpeg(const TRef<TStream>& s, const std::string& name,
                              const TRotationHook& rotation) {
  return ReadJpeg(s, name, rotation);
}

TRef<TBitmapStore> DecodeGif(const TRef<TStream>& s, const std::string& name,
                             const TRotationHook& rotation) {
  return ReadGifFirstFrame(*s, name, rotation);
}

TRef<TBitmapStore> DecodeGifAtlas(const TRef<TStream>& s, const std::string& name,
                                  const TRotationHook& rotation) {
  return ReadGifFramesAtlas(*s, name, rotation);
}

}  // namespace

void RegisterStandardDecoders(const TAddDecoder& add) {
  add(DecodeContainer, {".qzgfx", ".bmp", ".dib", ".png", ".gif|framesatlas"});
  add(DecodeBmp, {".bmp", ".dib"});
  add(DecodeJpeg, {".jpg", ".jpeg", ".jpe", ".jfif"});
  add(DecodeGif, {".gif"});
  add(DecodeGif, {".gif_first_frame"});
  add(DecodeGifAtlas, {".gif|framesatlas"});
  // The picture library registered at start-up: PNG.
  AddPictureLibrary("qzPngLib", LoadPngLibrary, {".png"});
  add(ReadWithPictureLibraries, {".png"});
}

}  // namespace vyr
