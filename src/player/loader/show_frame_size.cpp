#include "player/loader/show_frame_size.h"

#include "project/ini/values.h"
#include "render/device/frame_limits.h"

namespace vyr {

TIntSize ShowFrameSize(const TVyrSource& source) {
  const TIniFile* model = source.Model();
  return {ReadInt(model, "Main", "opt_scr_width", source.Width()),
          ReadInt(model, "Main", "opt_scr_height", source.Height())};
}

std::string ShowFrameSizeProblem(const TVyrSource& source) {
  const TIntSize size = ShowFrameSize(source);
  const std::string problem = FrameSizeProblem(size.width, size.height);
  return problem.empty() ? problem
                         : "the show's frame size (opt_scr_width x opt_scr_height) " + problem;
}

}  // namespace vyr
