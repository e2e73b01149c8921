#include "imaging/colour/color_cube.h"

#include "imaging/bitmap/bitmap_factory.h"

namespace vyr {

namespace {

struct TAxis {
  int n;      // lower entry
  int next;   // upper entry
  int64_t f;  // fraction 0..0xFFFF
};

TAxis AxisOf(unsigned v) {
  const int64_t t = int64_t{v} * 7967;
  const int n = static_cast<int>(t >> 16);
  const int64_t f = (t + n) & 0xFFFF;
  if (f == 0xFFFF) return {n + 1, n + 1, 0};
  return {n, f == 0 ? n : n + 1, f};
}

int Lerp(int a, int b, int64_t f) {
  if (f == 0) return a;
  return a + static_cast<int>((f * (b - a) + 32767) / 65536);  // truncates toward zero
}

}  // namespace

TRef<TSysBitmap> MakeIdentityCube() {
  TRef<TSysBitmap> cube = CreateSysBitmap(kCubeSide, kCubeSide * kCubeSide, pf::R8G8B8());
  for (int i = 0; i < kCubeSide; ++i)
    for (int j = 0; j < kCubeSide; ++j) {
      uint8_t* row = cube->Row(i * kCubeSide + j);
      for (int k = 0; k < kCubeSide; ++k) {
        row[k * 3] = CubeLevel(i);
        row[k * 3 + 1] = CubeLevel(j);
        row[k * 3 + 2] = CubeLevel(k);
      }
    }
  return cube;
}

uint32_t ConvertColorThroughCube(const TBitmap& cube, uint32_t color) {
  const TAxis r = AxisOf((color >> 16) & 255), g = AxisOf((color >> 8) & 255),
              b = AxisOf(color & 255);
  auto entry = [&](int bi, int gi, int ri, int c) {
    return int{cube.Row(bi * kCubeSide + gi)[ri * 3 + c]};
  };
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    int byBlue[2];
    const int blues[2] = {b.n, b.next};
    for (int bi = 0; bi < 2; ++bi) {
      const int r0 = Lerp(entry(blues[bi], g.n, r.n, c), entry(blues[bi], g.n, r.next, c), r.f);
      const int r1 =
          Lerp(entry(blues[bi], g.next, r.n, c), entry(blues[bi], g.next, r.next, c), r.f);
      byBlue[bi] = Lerp(r0, r1, g.f);
    }
    const int v = Lerp(byBlue[0], byBlue[1], b.f);
    // Bytes are blue, green, red: c = 0 is blue.
    out |= static_cast<uint32_t>(v & 255) << (8 * c);
  }
  return out;
}

uint32_t ConvertColor(TColorProfile* profile, uint32_t color) {
  TRef<TColorProfile> chosen = TRef<TColorProfile>::Share(profile);
  if (!chosen) chosen = OutputProfile();
  if (!chosen) return color;
  TSysBitmap* cube = chosen->Cube();
  return cube ? ConvertColorThroughCube(*cube, color) : color;
}

}  // namespace vyr
