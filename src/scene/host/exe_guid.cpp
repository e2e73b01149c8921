#include "scene/host/exe_guid.h"

#include <cstdint>
#include <exception>
#include <vector>

#include "foundation/utf.h"

namespace vyr {
namespace {
// A GUID in braces has 38 characters; anything far beyond is not an identifier.
constexpr int32_t kMaxGuidChars = 1024;
}  // namespace

std::string ReadExeGuid(TStream& stream) {
  uint8_t countBytes[4];
  if (stream.Read(countBytes, 4) != 4) return {};
  const int32_t count =
      static_cast<int32_t>(countBytes[0] | countBytes[1] << 8 | countBytes[2] << 16 |
                           static_cast<uint32_t>(countBytes[3]) << 24);
  if (count <= 0 || count > kMaxGuidChars) return {};
  std::u16string text(static_cast<size_t>(count), u'\0');
  std::vector<uint8_t> bytes(static_cast<size_t>(count) * 2);
  if (stream.Read(bytes.data(), static_cast<int64_t>(bytes.size())) !=
      static_cast<int64_t>(bytes.size()))
    return {};
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return Utf16ToUtf8(text);
}

std::string ReadFontCacheKey(TFileAccessor& files) {
  try {
    TRef<TStream> stream = files.OpenStream(kExeGuidEntry);
    return stream ? ReadExeGuid(*stream) : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace vyr
