#pragma once
// The process-wide cache of button piece pictures: a piece path is opened once and kept until
// the program ends (themes are few and small).

#include <string>

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

class TFileAccessor;

// The picture of the path through the file access (its placeholder when the file does not
// open), shared by every later request of the same path and file source.
TRef<TImage> OpenButtonPiece(TFileAccessor& files, const std::string& path);

// Pieces kept so far.
size_t ButtonPieceCount();

}  // namespace vyr
