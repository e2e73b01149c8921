#pragma once
// Reading what the programs wrote: corners from `vyrpack scene --json`, pixels of a frame.

#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/bitmap/bitmap.h"
#include "imaging/bitmap/pixel_format.h"
#include "imaging/decode/decoder_registry.h"

namespace vyr::test {

// The eight numbers after "corners": of the object named name.
inline std::vector<double> CornersOf(const std::string& json, const std::string& name) {
  std::vector<double> numbers;
  size_t at = json.find("\"name\": \"" + name + "\"");
  if (at == std::string::npos) return numbers;
  at = json.find("\"corners\": [", at);
  if (at == std::string::npos) return numbers;
  const char* p = json.c_str() + at + 12;
  while (numbers.size() < 8 && *p) {
    if (*p == '-' || (*p >= '0' && *p <= '9')) {
      char* end = nullptr;
      numbers.push_back(std::strtod(p, &end));
      p = end;
    } else {
      ++p;
    }
  }
  return numbers;
}

struct TRgb {
  int r = 0, g = 0, b = 0;
};

inline TRgb PixelAt(const TBitmap& bitmap, int x, int y) {
  const TRef<TBitmap> one = MakeRef<TDirectBitmap>(1, 1, pf::A8R8G8B8());
  one->CopyRect(TRect{0, 0, 1, 1}, bitmap, TPoint{x, y});
  const uint8_t* p = one->Row(0);
  return TRgb{p[2], p[1], p[0]};
}

// A picture file's pixels as RGB rows (empty when it does not open).
inline std::string RgbOf(const std::string& file) {
  TRef<TImage> image = OpenPicture(file);
  if (!image) return {};
  const TRef<TBitmap> bitmap = image->Bitmap();
  const TRef<TBitmap> rgb =
      MakeRef<TDirectBitmap>(bitmap->Width(), bitmap->Height(), pf::A8R8G8B8());
  rgb->CopyRect(TRect{0, 0, bitmap->Width(), bitmap->Height()}, *bitmap, TPoint{0, 0});
  std::string bytes;
  for (int y = 0; y < rgb->Height(); ++y)
    for (int x = 0; x < rgb->Width(); ++x) {
      const uint8_t* p = rgb->Row(y) + 4 * x;
      bytes += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
    }
  return bytes;
}

}  // namespace vyr::test
