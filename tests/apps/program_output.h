#pragma once
// Reading what the programs wrote: corners from `vyrpack scene --json`, pixels of a frame.

#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/bitmap/bitmap.h"
#include "imaging/bitmap/pixel_format.h"

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

}  // namespace vyr::test
