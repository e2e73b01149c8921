#pragma once
// The colour filters of keyframes: levels, brightness and contrast, colourisation,
// colour multiply, double colour multiply, hue/saturation/lightness and inversion.
// Each rewrites the entries of a colour lookup table with fixed arithmetic.

#include <array>
#include <cstdint>
#include <string_view>

#include "scene/filters/object_filter.h"

namespace vyr {

// Filters that map each channel through its own 256-entry table.
class TChannelFilter : public TObjectFilter {
 public:
  using TObjectFilter::TObjectFilter;
  using TChannelMap = std::array<std::array<uint8_t, 256>, 3>;  // blue, green, red

  void ApplyToTable(uint8_t* entries, int width, int height) const override;
  int GetKind() const override { return kFilterChannel; }
  virtual void BuildChannelMap(TChannelMap& map) const = 0;
};

// v' = trunc(v * k + d) per channel, clamped to 0..255.
class TLinearGenerator : public TChannelFilter {
 public:
  using TChannelFilter::TChannelFilter;
  void SetLinear(int channel, double k, double d) {
    k_[channel] = k;
    d_[channel] = d;
  }
  double K(int channel) const { return k_[channel]; }
  double D(int channel) const { return d_[channel]; }
  void BuildChannelMap(TChannelMap& map) const override;

 private:
  double k_[3] = {1, 1, 1};
  double d_[3] = {0, 0, 0};
};

class TBrightContrastGenerator : public TLinearGenerator {
 public:
  TBrightContrastGenerator() : TLinearGenerator("BrightContrast") {}
  // Both clamped to -100..100.
  void SetParams(int bright, int contrast);
  bool ReadParams() override;
};

class TInvertColor : public TLinearGenerator {
 public:
  TInvertColor();
};

class TLevelsGenerator : public TChannelFilter {
 public:
  TLevelsGenerator() : TChannelFilter("Levels") {}
  // Min and Max clamped to 0..255, Med to -100..100.
  void SetParams(int min, int med, int max);
  bool ReadParams() override;
  void BuildChannelMap(TChannelMap& map) const override;

 private:
  int min_ = 0;
  int med_ = 0;
  int max_ = 255;
};

// Moves each channel towards a target by Amount; the target of Colorization is the
// entry's luma times the colour, which mixes the channels.
class TColorizationGenerator : public TObjectFilter {
 public:
  TColorizationGenerator() : TColorizationGenerator("Colorization") {}
  // Amount clamped to 0..100; color as 0x..RRGGBB.
  void SetParams(int amount, uint32_t color);
  bool ReadParams() override;
  void ApplyToTable(uint8_t* entries, int width, int height) const override;
  int GetKind() const override { return kFilterCross; }

  // a = round(Amount * 0.01 * 256); v' = min(255, v + (a * (t - v) [+ 255 if negative]) >> 8).
  static int Approach(int v, int target, int a);

 protected:
  explicit TColorizationGenerator(std::string typeName) : TObjectFilter(std::move(typeName)) {}
  // The target of one channel (0 blue, 1 green, 2 red) for the entry b, g, r.
  virtual int Target(int channel, int b, int g, int r) const;
  int amount256_ = 256;
  int color_[3] = {255, 255, 255};  // blue, green, red
};

// Target (c * v) div 256.
class TColorMultiply : public TColorizationGenerator {
 public:
  TColorMultiply() : TColorizationGenerator("Colorisation2") {}
  int GetKind() const override { return kFilterChannel; }

 protected:
  int Target(int channel, int b, int g, int r) const override;
};

// Target min(255, (c * v) >> 7).
class TDoubleColorMultiply : public TColorizationGenerator {
 public:
  TDoubleColorMultiply() : TColorizationGenerator("Colorisation3") {}
  int GetKind() const override { return kFilterChannel; }

 protected:
  int Target(int channel, int b, int g, int r) const override;
};

class THSLGenerator : public TObjectFilter {
 public:
  THSLGenerator() : TObjectFilter("HSL") {}
  // Hue clamped to -180..180, saturation and lightness to -100..100.
  void SetParams(int hue, int saturation, int lightness);
  bool ReadParams() override;
  void ApplyToTable(uint8_t* entries, int width, int height) const override;
  int GetKind() const override { return kFilterCross; }

  // Hue, saturation and lightness on a 0..255 scale (hue wraps at 256), and back.
  static void RgbToHsl(int r, int g, int b, double& h, double& s, double& l);
  static void HslToRgb(double h, double s, double l, int& r, int& g, int& b);

 private:
  int hueShift_ = 0;
  int saturationShift_ = 0;
  int lightnessShift_ = 0;
};

// A colour filter for a keyframe's Filter object: its name picks the type (ignoring
// case). None for an unknown type. The INI object is attached.
TRef<TObjectFilter> CreateColourFilter(TIniObject& object);
// True when a Filter object of that name makes a colour filter.
bool IsColourFilterType(std::string_view name);

}  // namespace vyr
