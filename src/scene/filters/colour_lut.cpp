#include "scene/filters/colour_lut.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/exceptions.h"

namespace vyr {

TColorLut TColorLut::IdentityStrip(int rows) {
  TColorLut lut(256, rows);
  for (int y = 0; y < rows; ++y) {
    for (int v = 0; v < 256; ++v) {
      uint8_t* e = lut.Entry(v, y);
      e[0] = e[1] = e[2] = static_cast<uint8_t>(v);
      e[3] = 255;
    }
  }
  return lut;
}

TColorLut TColorLut::IdentityCube() {
  TColorLut lut(kCubeSide, kCubeSide * kCubeSide);
  for (int b = 0; b < kCubeSide; ++b) {
    for (int g = 0; g < kCubeSide; ++g) {
      for (int r = 0; r < kCubeSide; ++r) {
        uint8_t* e = lut.Entry(r, b * kCubeSide + g);
        e[0] = static_cast<uint8_t>(CubeLevel(b));
        e[1] = static_cast<uint8_t>(CubeLevel(g));
        e[2] = static_cast<uint8_t>(CubeLevel(r));
        e[3] = 255;
      }
    }
  }
  return lut;
}

TLutForm PairLutForm(const TObjectFilter* left, const TObjectFilter* right,
                     bool hasColourManagement) {
  const int kind = std::max(ChainKind(left), ChainKind(right));
  if (kind == kFilterCross || hasColourManagement) return TLutForm::kCross;
  return kind == kFilterChannel ? TLutForm::kChannel : TLutForm::kNone;
}

TColorLut BuildFilterTable(const TObjectFilter* chain, TLutForm form,
                           const TColorLut* colourManagement, int stripRows) {
  VYR_ASSERT(form != TLutForm::kNone && stripRows > 0);
  TColorLut lut;
  if (form == TLutForm::kCross) {
    lut = colourManagement && !colourManagement->Empty() ? *colourManagement
                                                         : TColorLut::IdentityCube();
  } else {
    lut = TColorLut::IdentityStrip(stripRows);
  }
  // File order is the chain's tail first.
  std::vector<const TObjectFilter*> order;
  for (const TObjectFilter* f = chain; f; f = f->Next())
    if (!f->Disabled()) order.push_back(f);
  const int rows = form == TLutForm::kCross ? lut.Height() : 1;
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    (*it)->ApplyToTable(lut.Entry(0, 0), lut.Width(), rows);
  if (form == TLutForm::kChannel) {
    for (int y = 1; y < lut.Height(); ++y) std::memcpy(lut.Entry(0, y), lut.Entry(0, 0), 256 * 4);
  }
  return lut;
}

TColorLut BlendTables(const TColorLut& a, const TColorLut& b, double fraction) {
  VYR_ASSERT(a.Width() == b.Width() && a.Height() == b.Height());
  fraction = std::clamp(fraction, 0.0, 1.0);
  TColorLut out = a;
  const auto& ab = a.Bytes();
  const auto& bb = b.Bytes();
  uint8_t* o = out.Entry(0, 0);
  for (size_t i = 0; i < ab.size(); ++i)
    o[i] = static_cast<uint8_t>(std::lround(ab[i] + (bb[i] - ab[i]) * fraction));
  return out;
}

const TColorLut& TFilterTableCache::Get(const TObjectFilter* chain, TLutForm form,
                                        const TColorLut* colourManagement) {
  std::vector<TStamp> stamps;
  for (const TObjectFilter* f = chain; f; f = f->Next())
    stamps.push_back({f, f->Rev(), f->Disabled()});
  if (!valid_ || form != form_ || colourManagement != colourManagement_ || stamps != stamps_) {
    table_ =
        form == TLutForm::kNone ? TColorLut() : BuildFilterTable(chain, form, colourManagement);
    stamps_ = std::move(stamps);
    form_ = form;
    colourManagement_ = colourManagement;
    valid_ = true;
  }
  return table_;
}

}  // namespace vyr
