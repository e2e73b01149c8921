#pragma once
// Where the overlay puts a picture in an area: an anchor and a pivot in percent (-100 the
// left or top edge, 100 the right or bottom edge), and the nine named positions whose
// anchor an offset moves inwards from the edges it touches.

#include <string_view>

#include "scene/geometry.h"

namespace vyr {

struct TAnchor {
  double ax = 0, ay = 0;  // anchor
  double px = 0, py = 0;  // pivot
};

// Position codes: 0 Left-Top, 1 Top, 2 Right-Top, 3 Right, 4 Right-Bottom, 5 Bottom,
// 6 Left-Bottom, 7 Left, 8 Center.
enum TNinePosition : int {
  kLeftTop = 0,
  kTop,
  kRightTop,
  kRight,
  kRightBottom,
  kBottom,
  kLeftBottom,
  kLeft,
  kCenter,
};

TAnchor NinePositionAnchor(int position, double offset);
// "opt_cp": one of the nine names, compared ignoring case; anything else is Center.
int NinePositionByName(std::string_view name);
// "opt_logo_pos": 0 Left, 1 Top, 2 Right, 3 Bottom, 5 Left-Top, 6 Right-Top,
// 7 Right-Bottom, 8 Left-Bottom, any other value Center.
int LogoPosition(int code);
// The rectangle of a w x h picture placed in the area.
TIntRect PlaceByAnchor(const TIntRect& area, int w, int h, const TAnchor& anchor);

}  // namespace vyr
