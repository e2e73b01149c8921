#pragma once
// Exceptions raised by the package reader and its entry streams.

#include "foundation/exceptions.h"

namespace vyr {

// A window outside its base stream, a bad seek, or a resize of a fixed window.
VYR_DECLARE_EXCEPTION(EPartialStreamError, EStreamError);
// zlib refused the compressed bytes; the message is zlib's own.
VYR_DECLARE_EXCEPTION(EInflateError, EStreamError);
// An inflate stream was asked for anything but reading forward.
VYR_DECLARE_EXCEPTION(EZStreamError, EStreamError);

inline constexpr const char* kInsufficientSourceSize = "Insufficient Source Size";
inline constexpr const char* kIncorrectPosition = "Incorrect Position";
inline constexpr const char* kCannotResize = "Stream Cannot be resized";
inline constexpr const char* kInvalidZStreamOperation = "Invalid ZStream operation!";

}  // namespace vyr
