#include "scene/shadow/shadow_params.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "project/ini/values.h"

namespace vyr {

namespace {

// Fixed notation with at most two decimals, trailing zeros and point removed.
std::string FormatTwoDecimals(float value) {
  if (!std::isfinite(value)) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

float ParsedFloat(std::string_view text) {
  double value = 0;
  return ParseFloat(text, value) && std::isfinite(value) ? static_cast<float>(value) : 0.0f;
}

int ParsedInt(std::string_view text, int fallback) {
  int32_t value = 0;
  return ParseInt32(text, value) ? value : fallback;
}

uint8_t ParsedByte(std::string_view text, int fallback) {
  return static_cast<uint8_t>(ParsedInt(text, fallback));
}

constexpr int kNameValues = 13;

}  // namespace

std::string ShadowPictureName(const TShadowParams& p) {
  std::string name(kShadowPrefix);
  for (float v : {p.left, p.top, p.right, p.bottom, p.marginX, p.marginY}) {
    name += FormatTwoDecimals(v);
    name += ':';
  }
  name += std::to_string(p.frameAlpha) + ':';
  name += FormatFloat(p.blur) + ':';
  for (int v : {p.spreadIndex, int{p.fillKind}, int{p.startAlpha}, int{p.endAlpha}, p.level}) {
    name += std::to_string(v);
    name += ':';
  }
  name += p.pictureName;
  return name;
}

bool IsShadowPictureName(std::string_view name) { return name.starts_with(kShadowPrefix); }

TShadowParams ParseShadowPictureName(std::string_view name) {
  std::string rest(name.size() > kShadowPrefix.size() ? name.substr(kShadowPrefix.size()) : "");
  rest += ':';
  std::vector<std::string_view> values;
  size_t start = 0;
  while (values.size() < kNameValues) {
    const size_t colon = rest.find(':', start);
    if (colon == std::string::npos) break;
    values.push_back(std::string_view(rest).substr(start, colon - start));
    start = colon + 1;
  }
  values.resize(kNameValues);  // missing values parse as nothing
  TShadowParams p;
  p.left = ParsedFloat(values[0]);
  p.top = ParsedFloat(values[1]);
  p.right = ParsedFloat(values[2]);
  p.bottom = ParsedFloat(values[3]);
  p.marginX = ParsedFloat(values[4]);
  p.marginY = ParsedFloat(values[5]);
  p.frameAlpha = ParsedInt(values[6], 255);
  p.blur = ParsedFloat(values[7]);
  p.spreadIndex = ParsedInt(values[8], 0);
  p.fillKind = ParsedByte(values[9], kFillSolid);
  p.startAlpha = ParsedByte(values[10], 0);
  p.endAlpha = ParsedByte(values[11], 0);
  p.level = ParsedInt(values[12], 0);
  // The picture name runs to the appended ":".
  p.pictureName = start < rest.size() ? rest.substr(start, rest.size() - 1 - start) : "";
  return p;
}

bool SameShadowParams(const TShadowParams& a, const TShadowParams& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
         a.marginX == b.marginX && a.marginY == b.marginY && a.frameAlpha == b.frameAlpha &&
         std::fabs(a.blur - b.blur) <= 0.001f && a.spreadIndex == b.spreadIndex &&
         a.startAlpha == b.startAlpha && a.endAlpha == b.endAlpha && a.fillKind == b.fillKind &&
         a.level == b.level && a.animated == b.animated;
}

TShadowParams NormaliseScaledParams(const TShadowParams& params) {
  TShadowParams p = params;
  p.pictureName = std::string(kNoShadowPicture);
  const double w = static_cast<double>(p.right) - p.left;
  const double h = static_cast<double>(p.bottom) - p.top;
  const double area = (w + 2.0 * p.marginX) * (h + 2.0 * p.marginY);
  if (!(area > 0) || !std::isfinite(area)) {
    p.left = p.top = p.right = p.bottom = p.marginX = p.marginY = 0;
    p.blur = 0;
    return p;
  }
  const double a = std::sqrt(40000.0 / area);
  p.left = p.top = 0;
  p.right = static_cast<float>(std::round(w * a));
  p.bottom = static_cast<float>(std::round(h * a));
  p.marginX = static_cast<float>(std::round(p.marginX * a));
  p.marginY = static_cast<float>(std::round(p.marginY * a));
  p.blur = static_cast<float>(p.blur * std::sqrt(static_cast<double>(p.right) * p.bottom) / 400);
  return p;
}

int ShadowHalvings(float& width, float& height) {
  if (!std::isfinite(width) || !std::isfinite(height) || width < 0 || height < 0) {
    width = height = 0;
    return 0;
  }
  int k = 0;
  while (static_cast<double>(width) * height > 700000.0) {
    width /= 2;
    height /= 2;
    ++k;
  }
  while (width > 10000 || height > 10000) {
    width /= 2;
    height /= 2;
    ++k;
  }
  return k;
}

}  // namespace vyr
