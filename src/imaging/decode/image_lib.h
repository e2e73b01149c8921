#pragma once
// Picture libraries: decoders behind the "OpenImage" / "ReadImage" / "CloseImage" interface,
// fed through stream callbacks and answering rows of 24 or 32 bits.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

struct TImageData {
  uintptr_t context = 0;     // the library's own
  int32_t bitsPerPixel = 0;  // 24 ("R8G8B8" bytes) or 32 ("A8R8G8B8" bytes)
  int32_t width = 0;
  int32_t height = 0;
  uint8_t** rows = nullptr;  // height row pointers, filled by "ReadImage"
  // The embedded ICC profile, or none; kept by the library until "CloseImage".
  const uint8_t* profile = nullptr;
  uint32_t profileSize = 0;
};

struct TStreamCallbacks {
  void* context = nullptr;
  int64_t (*size)(void* context) = nullptr;
  void (*setSize)(void* context, int64_t size) = nullptr;
  // Move to the position first, then read or write.
  int64_t (*read)(void* context, void* buffer, int64_t count, int64_t position) = nullptr;
  int64_t (*write)(void* context, const void* buffer, int64_t count, int64_t position) = nullptr;
};

struct TImageLibExports {
  bool (*OpenImage)(TImageData* image, const TStreamCallbacks* callbacks) = nullptr;
  bool (*OpenImageFile)(TImageData* image, const char* path) = nullptr;  // present, never called
  void (*ReadImage)(TImageData* image) = nullptr;
  void (*CloseImage)(TImageData* image) = nullptr;
};

// Fills the exports; a library missing any of the four counts as failed from then on.
using TImageLibLoader = std::function<void(TImageLibExports& exports)>;

// Registers a library for the extensions (compared upper-cased) and a decoder entry for them.
void RegisterPictureLibrary(const std::string& name, TImageLibLoader loader,
                            const std::vector<std::string>& extensions);

// Adds the library to the list only (the start-up registration adds its decoder entry itself).
void AddPictureLibrary(const std::string& name, TImageLibLoader loader,
                       const std::vector<std::string>& extensions);

// The decoder behind every picture-library entry: tries each library registered for the
// name's extension; null (stream put back) when none answers.
TRef<TBitmapStore> ReadWithPictureLibraries(const TRef<TStream>& stream, const std::string& name,
                                            const TRotationHook& rotation);

// The built-in PNG library (libpng): palette with tRNS, grey with alpha, 16-bit channels
// scaled to 8, interlaced; the "iCCP" chunk's profile.
void LoadPngLibrary(TImageLibExports& exports);

}  // namespace vyr
