#pragma once
// The picture names the slide host makes itself instead of reading a file.

#include <optional>
#include <string_view>

namespace vyr {

inline constexpr std::string_view kButtonPrefix = "Button: ";
inline constexpr std::string_view kShadowPrefix = "Shadow: ";
inline constexpr std::string_view kMaskPrefix = "Mask: ";
inline constexpr std::string_view kPresetMaskPrefix = "PresetedMask:";
inline constexpr std::string_view kEffectBufferPrefix = "SlideEffectBuffer";
inline constexpr std::string_view kEffectResourcePrefix = "EffectResource";
inline constexpr std::string_view kTextWithSizePrefix = "TextWithSize:";
inline constexpr std::string_view kSlideBackgroundPrefix = "SlideBg: ";

// Whether the name begins with one of the host's prefixes (the "Text: " one included).
bool HasReservedPrefix(std::string_view name);

inline bool StartsWith(std::string_view name, std::string_view prefix) {
  return name.substr(0, prefix.size()) == prefix;
}

// "SlideEffectBuffer" or "EffectResource" followed by an optional digit n and optionally
// ", " + width + ", " + height (a size that does not parse is left out).
struct TEffectPictureName {
  std::optional<int> index;  // the digit after the prefix
  std::optional<int> width, height;
};
TEffectPictureName ParseEffectPictureName(std::string_view rest);

}  // namespace vyr
