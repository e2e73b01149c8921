#pragma once
// Colour lookup tables built by running a keyframe's filter chain over an identity
// table: a per-channel strip (256 entries a row) or a cross-channel cube of
// 32 x 32 x 32 entries kept as 32 columns by 1024 rows. Entries are blue, green, red,
// alpha bytes.

#include <cstdint>
#include <vector>

#include "scene/filters/object_filter.h"

namespace vyr {

enum class TLutForm : int {
  kNone = 0,     // nothing to look up
  kCross = 1,    // the cube
  kChannel = 2,  // the strip
};

class TColorLut {
 public:
  static constexpr int kCubeSide = 32;

  TColorLut() = default;
  TColorLut(int width, int height)
      : width_(width), height_(height), bytes_(size_t(width) * height * 4) {}

  // Entry v of every row maps each channel level v to itself.
  static TColorLut IdentityStrip(int rows = 1);
  // Blue index i, green j, red k at row i * 32 + j, column k; index n holds 8n + n div 4.
  static TColorLut IdentityCube();
  static int CubeLevel(int index) { return 8 * index + index / 4; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return bytes_.empty(); }
  uint8_t* Entry(int column, int row) { return &bytes_[(size_t(row) * width_ + column) * 4]; }
  const uint8_t* Entry(int column, int row) const {
    return &bytes_[(size_t(row) * width_ + column) * 4];
  }
  // The cube entry for the blue, green and red indices.
  const uint8_t* CubeEntry(int blue, int green, int red) const {
    return Entry(red, blue * kCubeSide + green);
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  bool operator==(const TColorLut& other) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> bytes_;
};

// The form for a keyframe pair: the cube when either chain mixes channels or the
// object has a colour-management table; nothing when both chains are empty (no
// enabled filter) and there is none; else the strip.
TLutForm PairLutForm(const TObjectFilter* left, const TObjectFilter* right,
                     bool hasColourManagement);

// The table of one keyframe's chain in the given form. The cube starts from the
// colour-management cube when one is given; the strip is computed on its first row
// and copied to the others.
TColorLut BuildFilterTable(const TObjectFilter* chain, TLutForm form,
                           const TColorLut* colourManagement = nullptr, int stripRows = 1);

// Entry by entry a + (b - a) * fraction, rounded: what drawing does with the two
// lookups of a keyframe pair.
TColorLut BlendTables(const TColorLut& a, const TColorLut& b, double fraction);

// A keyframe's table, rebuilt only when its chain, the filters' revisions or their
// switches changed.
class TFilterTableCache {
 public:
  const TColorLut& Get(const TObjectFilter* chain, TLutForm form,
                       const TColorLut* colourManagement = nullptr);

 private:
  struct TStamp {
    const TObjectFilter* filter;
    int64_t rev;
    bool disabled;
    bool operator==(const TStamp&) const = default;
  };
  std::vector<TStamp> stamps_;
  TLutForm form_ = TLutForm::kNone;
  const TColorLut* colourManagement_ = nullptr;
  bool valid_ = false;
  TColorLut table_;
};

}  // namespace vyr
