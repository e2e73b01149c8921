#pragma once
// Paths of glyph outlines and shapes: points with drawing commands.

#include <cstdint>
#include <vector>

namespace vyr {

// The commands of a path point.
enum TPathCommand : int32_t {
  kPathMoveTo = 0,     // starts a contour; the previous one is closed automatically
  kPathLineTo = 1,     //
  kPathQuadratic = 2,  // this point is the control point, the next the end point
  kPathCubic = 3,      // this and the next point are control points, the one after the end
  kPathEnd = 9,        // end of contour: the next command must be a move to
};

struct TPathPoint {
  float x = 0;
  float y = 0;
  int32_t command = kPathMoveTo;
};

using TPath = std::vector<TPathPoint>;

}  // namespace vyr
