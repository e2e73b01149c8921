#include "scene/filters/colour_filters.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "foundation/case_fold.h"
#include "imaging/bitmap/colour.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

// Absorbs rounding noise before truncating, so that exact arithmetic (contrast 0 and
// bright b giving v + b, levels 0..255 giving v) truncates to the exact level.
constexpr double kTruncNudge = 1e-9;

int ClampLevel(double v) {
  if (!(v > 0)) return 0;  // also not a number
  return v >= 255 ? 255 : static_cast<int>(v);
}

int ClampInt(int v, int lo, int hi) { return std::clamp(v, lo, hi); }

int ReadIntKey(const TObjectFilter& f, const char* key, int defaultValue) {
  return ReadInt(FindKey(f.IniObject(), key), defaultValue);
}

}  // namespace

// ---- per-channel filters ----

void TChannelFilter::ApplyToTable(uint8_t* entries, int width, int height) const {
  TChannelMap map;
  BuildChannelMap(map);
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i, entries += 4) {
    entries[0] = map[0][entries[0]];
    entries[1] = map[1][entries[1]];
    entries[2] = map[2][entries[2]];
    entries[3] = 255;
  }
}

void TLinearGenerator::BuildChannelMap(TChannelMap& map) const {
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 256; ++v)
      map[c][v] = static_cast<uint8_t>(ClampLevel(std::trunc(v * k_[c] + d_[c] + kTruncNudge)));
}

void TBrightContrastGenerator::SetParams(int bright, int contrast) {
  const int b = ClampInt(bright, -100, 100);
  const int c = ClampInt(contrast, -100, 100);
  const double angle = (100 - c) * 3.141592653589793 * 0.0025;
  const double k =
      std::fabs(angle) <= 0.001 ? 10000 : std::min(10000.0, std::max(0.0, 1 / std::tan(angle)));
  const double d = ((1 - k) * 0.5 + k * b / 255) * 255;
  for (int ch = 0; ch < 3; ++ch) SetLinear(ch, k, d);
}

bool TBrightContrastGenerator::ReadParams() {
  SetParams(ReadIntKey(*this, "bright", 0), ReadIntKey(*this, "contrast", 0));
  return true;
}

TInvertColor::TInvertColor() : TLinearGenerator("Invert") {
  for (int ch = 0; ch < 3; ++ch) SetLinear(ch, -1, 255);
}

void TLevelsGenerator::SetParams(int min, int med, int max) {
  min_ = ClampInt(min, 0, 255);
  med_ = ClampInt(med, -100, 100);
  max_ = ClampInt(max, 0, 255);
}

bool TLevelsGenerator::ReadParams() {
  SetParams(ReadIntKey(*this, "Min", 0), ReadIntKey(*this, "Med", 0),
            ReadIntKey(*this, "Max", 255));
  return true;
}

void TLevelsGenerator::BuildChannelMap(TChannelMap& map) const {
  const double range = max_ - min_;
  double gamma = med_ == -100 ? 10 : (100.0 - med_) / (med_ + 100.0);
  gamma = std::clamp(gamma, 0.1, 10.0);
  for (int v = 0; v < 256; ++v) {
    const double x = std::max(0, v - min_);
    const double scaled = range == 0 ? x : x / range;
    const double out = std::pow(scaled, gamma) * 255;
    const uint8_t level = static_cast<uint8_t>(ClampLevel(std::trunc(out + kTruncNudge)));
    for (int c = 0; c < 3; ++c) map[c][v] = level;
  }
}

// ---- colourisation family ----

int TColorizationGenerator::Approach(int v, int target, int a) {
  int delta = a * (target - v);
  if (delta < 0) delta += 255;
  // >> on a negative int is an arithmetic shift (C++20).
  return std::clamp(v + (delta >> 8), 0, 255);
}

void TColorizationGenerator::SetParams(int amount, uint32_t color) {
  amount256_ = static_cast<int>(std::lround(ClampInt(amount, 0, 100) * 0.01 * 256));
  color_[0] = ColorB(color);
  color_[1] = ColorG(color);
  color_[2] = ColorR(color);
}

bool TColorizationGenerator::ReadParams() {
  const std::string color = ReadText(FindKey(IniObject(), "Color"));
  SetParams(ReadIntKey(*this, "Amount", 100), ParseColor(color, 0xFFFFFFFF));
  return true;
}

int TColorizationGenerator::Target(int channel, int b, int g, int r) const {
  const int luma = (r * 13933 + g * 46871 + b * 7471) >> 16;
  return (luma * color_[channel]) >> 7;
}

void TColorizationGenerator::ApplyToTable(uint8_t* entries, int width, int height) const {
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i, entries += 4) {
    const int b = entries[0], g = entries[1], r = entries[2];
    const int in[3] = {b, g, r};
    for (int c = 0; c < 3; ++c)
      entries[c] = static_cast<uint8_t>(Approach(in[c], Target(c, b, g, r), amount256_));
    entries[3] = 255;
  }
}

int TColorMultiply::Target(int channel, int b, int g, int r) const {
  const int v = channel == 0 ? b : channel == 1 ? g : r;
  return (color_[channel] * v) / 256;
}

int TDoubleColorMultiply::Target(int channel, int b, int g, int r) const {
  const int v = channel == 0 ? b : channel == 1 ? g : r;
  return std::min(255, (color_[channel] * v) >> 7);
}

// ---- hue, saturation, lightness ----

void THSLGenerator::SetParams(int hue, int saturation, int lightness) {
  hueShift_ = static_cast<int>(std::lround(ClampInt(hue, -180, 180) / 360.0 * 256));
  saturationShift_ = static_cast<int>(std::lround(ClampInt(saturation, -100, 100) * 2.56));
  lightnessShift_ = static_cast<int>(std::lround(ClampInt(lightness, -100, 100) * 2.56));
}

bool THSLGenerator::ReadParams() {
  SetParams(ReadIntKey(*this, "Hue", 0), ReadIntKey(*this, "Saturation", 0),
            ReadIntKey(*this, "Lightness", 0));
  return true;
}

void THSLGenerator::RgbToHsl(int r, int g, int b, double& h, double& s, double& l) {
  const int mx = std::max({r, g, b});
  const int mn = std::min({r, g, b});
  l = (mx + mn) / 2.0;
  if (mx == mn) {
    h = 0;
    s = 0;
    return;
  }
  const double d = mx - mn;
  s = (mx + mn <= 255 ? d / (mx + mn) : d / (510.0 - mx - mn)) * 255;
  double sector;
  if (mx == r) {
    sector = (g - b) / d;
    if (sector < 0) sector += 6;
  } else if (mx == g) {
    sector = (b - r) / d + 2;
  } else {
    sector = (r - g) / d + 4;
  }
  h = sector / 6 * 256;
}

void THSLGenerator::HslToRgb(double h, double s, double l, int& r, int& g, int& b) {
  const double ln = l / 255, sn = s / 255, hn = h / 256;
  auto level = [](double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  if (sn <= 0) {
    r = g = b = level(ln);
    return;
  }
  const double q = ln < 0.5 ? ln * (1 + sn) : ln + sn - ln * sn;
  const double p = 2 * ln - q;
  auto channel = [&](double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
  };
  r = level(channel(hn + 1.0 / 3));
  g = level(channel(hn));
  b = level(channel(hn - 1.0 / 3));
}

void THSLGenerator::ApplyToTable(uint8_t* entries, int width, int height) const {
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i, entries += 4) {
    double h, s, l;
    RgbToHsl(entries[2], entries[1], entries[0], h, s, l);
    h += hueShift_;
    if (h < 0) h += 256;
    if (h >= 256) h -= 256;
    s = std::clamp(s + saturationShift_, 0.0, 255.0);
    l = std::clamp(l + lightnessShift_, 0.0, 255.0);
    int r, g, b;
    HslToRgb(h, s, l, r, g, b);
    entries[0] = static_cast<uint8_t>(b);
    entries[1] = static_cast<uint8_t>(g);
    entries[2] = static_cast<uint8_t>(r);
    entries[3] = 255;
  }
}

// ---- the registry of filter types ----

namespace {

struct TFilterInfo {
  TRef<TObjectFilter> (*create)();
  const char* typeName;
  const char* caption;
  const TFilterInfo* next;
};

template <class T>
TRef<TObjectFilter> Create() {
  return MakeRef<T>();
}

// Newest first, as registered at start-up.
const TFilterInfo* FilterTypes() {
  static const TFilterInfo kInvert{Create<TInvertColor>, "Invert", "Invert", nullptr};
  static const TFilterInfo kDouble{Create<TDoubleColorMultiply>, "Colorisation3",
                                   "Double colour multiply", &kInvert};
  static const TFilterInfo kMultiply{Create<TColorMultiply>, "Colorisation2", "Colour multiply",
                                     &kDouble};
  static const TFilterInfo kHsl{Create<THSLGenerator>, "HSL", "Hue / Saturation / Lightness",
                                &kMultiply};
  static const TFilterInfo kBright{Create<TBrightContrastGenerator>, "BrightContrast",
                                   "Brightness / Contrast", &kHsl};
  static const TFilterInfo kColorization{Create<TColorizationGenerator>, "Colorization",
                                         "Colourisation", &kBright};
  static const TFilterInfo kLevels{Create<TLevelsGenerator>, "Levels", "Levels", &kColorization};
  return &kLevels;
}

const TFilterInfo* FindFilterType(std::string_view name) {
  for (const TFilterInfo* info = FilterTypes(); info; info = info->next)
    if (SameName(name, info->typeName)) return info;
  return nullptr;
}

}  // namespace

bool IsColourFilterType(std::string_view name) { return FindFilterType(name) != nullptr; }

TRef<TObjectFilter> CreateColourFilter(TIniObject& object) {
  const TFilterInfo* info = FindFilterType(object.Name());
  if (!info) return nullptr;
  TRef<TObjectFilter> filter = info->create();
  filter->SetCaption(info->caption);
  filter->Attach(&object);
  return filter;
}

}  // namespace vyr
