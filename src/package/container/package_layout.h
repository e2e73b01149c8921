#pragma once
// The byte layout of a package: entries, then a raw-deflated INI directory, then the
// trailer. All integers are little-endian.
//
// Trailer, from the end of the file backwards:
//   short (12 bytes): S (int64, frame offset of the directory), ".dne"
//   long  (20 bytes): S, ".dne", V (int64, frame offset of V itself)
// The long form finds its directory again when the package bytes were moved:
// frame base = (file size - 8) - V.

#include <cstdint>
#include <string_view>

namespace vyr {

inline constexpr std::string_view kTrailerMagic = ".dne";
inline constexpr int64_t kShortTrailerSize = 12;
inline constexpr int64_t kLongTrailerSize = 20;

// The directory's sections and keys.
inline constexpr std::string_view kProtectionSection = "$protection$";
inline constexpr std::string_view kKeyStrucPos = "strucpos";
inline constexpr std::string_view kKeyAllowModify = "allowmodify";
inline constexpr std::string_view kKeyVyrVersion = "vyrversion";
inline constexpr std::string_view kKeyEntryPos = "_ps";
inline constexpr std::string_view kKeyEntrySize = "_sz";
inline constexpr std::string_view kKeyEntryMethod = "_pm";

enum class TPackMethod : int { Stored = 0, Deflated = 1, Scrambled = 2 };

}  // namespace vyr
