#include "render/device/frame_limits.h"

#include "render/device/gl_engine.h"

namespace vyr {
namespace {

std::string SizeText(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

std::string FrameSizeProblem(int width, int height) {
  if (width >= 1 && height >= 1 && width <= kMaxFrameSide && height <= kMaxFrameSide) return {};
  return SizeText(width, height) + " is outside 1 to " + std::to_string(kMaxFrameSide) +
         " pixels a side";
}

std::string DrawableFrameSizeProblem(int width, int height) {
  if (std::string problem = FrameSizeProblem(width, height); !problem.empty()) return problem;
  int maxWidth = 0, maxHeight = 0;
  Engine3D().MaxFrameSize(maxWidth, maxHeight);
  if (maxWidth <= 0 || maxHeight <= 0 || (width <= maxWidth && height <= maxHeight)) return {};
  return SizeText(width, height) + " is larger than the OpenGL device draws (" +
         SizeText(maxWidth, maxHeight) + ")";
}

}  // namespace vyr
