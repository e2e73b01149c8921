#pragma once
// Picture decoders chosen by the name's extension, tried in registration order.

#include <functional>
#include <string>
#include <vector>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

// Answers a store, or null after putting the stream back where it found it. A store that
// needs the stream later keeps its own reference.
using TDecodeFunction = std::function<TRef<TBitmapStore>(
    const TRef<TStream>& stream, const std::string& name, const TRotationHook& rotation)>;

// Extensions are normalised: leading blanks and one "*" skipped, "." put in front.
void RegisterDecoder(TDecodeFunction decode, const std::vector<std::string>& extensions);
std::string NormaliseExtension(std::string_view extension);

// Everything from the name's last "." (empty without one).
std::string ExtensionOf(const std::string& name);

// The picture, or null when no decoder accepts the stream.
TRef<TImage> DecodePicture(const TRef<TStream>& stream, const std::string& name,
                           const TRotationHook& rotation = nullptr);

// Opens the name through the process-wide stream opener ("file.gif|framesatlas" opens
// "file.gif") and decodes it without a rotation hook.
TRef<TImage> OpenPicture(const std::string& name);

}  // namespace vyr
