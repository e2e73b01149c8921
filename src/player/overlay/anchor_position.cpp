#include "player/overlay/anchor_position.h"

#include <cmath>

namespace vyr {

namespace {

int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

constexpr std::string_view kNames[] = {"Left-Top",    "Top",          "Right-Top",
                                       "Right",       "Right-Bottom", "Bottom",
                                       "Left-Bottom", "Left",         "Center"};

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

TAnchor NinePositionAnchor(int position, double o) {
  switch (position) {
    case kLeftTop:
      return {o - 100, o - 100, -100, -100};
    case kTop:
      return {0, o - 100, 0, -100};
    case kRightTop:
      return {100 - o, o - 100, 100, -100};
    case kRight:
      return {100 - o, 0, 100, 0};
    case kRightBottom:
      return {100 - o, 100 - o, 100, 100};
    case kBottom:
      return {0, 100 - o, 0, 100};
    case kLeftBottom:
      return {o - 100, 100 - o, -100, 100};
    case kLeft:
      return {o - 100, 0, -100, 0};
    default:
      return {0, 0, 0, 0};
  }
}

int NinePositionByName(std::string_view name) {
  for (int i = 0; i < 9; ++i)
    if (SameIgnoringAsciiCase(name, kNames[i])) return i;
  return kCenter;
}

int LogoPosition(int code) {
  switch (code) {
    case 0:
      return kLeft;
    case 1:
      return kTop;
    case 2:
      return kRight;
    case 3:
      return kBottom;
    case 5:
      return kLeftTop;
    case 6:
      return kRightTop;
    case 7:
      return kRightBottom;
    case 8:
      return kLeftBottom;
    default:
      return kCenter;
  }
}

TIntRect PlaceByAnchor(const TIntRect& area, int w, int h, const TAnchor& a) {
  TIntRect r;
  r.left = RoundEven((a.ax / 100 + 1) * (area.right - area.left) / 2) + area.left -
           RoundEven(w * (a.px + 100) / 200);
  r.top = RoundEven((a.ay / 100 + 1) * (area.bottom - area.top) / 2) + area.top -
          RoundEven(h * (a.py + 100) / 200);
  r.right = r.left + w;
  r.bottom = r.top + h;
  return r;
}

}  // namespace vyr
