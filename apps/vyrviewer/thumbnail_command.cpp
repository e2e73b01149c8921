#include "thumbnail_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frame_renderer.h"
#include "imaging/bitmap/png_writer.h"
#include "package/access/show_opener.h"
#include "package/container/program_file.h"
#include "player/loader/show_frame_size.h"
#include "player/loader/slide_geometry.h"
#include "project/ini/values.h"
#include "project/vyr_source.h"
#include "thumbnail_limits.h"

namespace vyr::viewer {
namespace {

constexpr int kExitRefused = 1;
constexpr int kExitTrouble = 2;

// The longer side becomes size; the other follows the show's aspect, at least one pixel.
TIntSize ThumbnailSize(const TVyrSource& source, int size) {
  const TIntSize presentation = ShowFrameSize(source);
  double aspect = 16.0 / 9.0;
  if (presentation.width > 0 && presentation.height > 0)
    aspect = PresentationAspect(source.Model(), presentation, presentation);
  if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 16.0 / 9.0;
  const auto shorter = [size](double length) {
    return std::clamp(static_cast<int>(std::lround(length)), 1, size);
  };
  return aspect >= 1 ? TIntSize{size, shorter(size / aspect)}
                     : TIntSize{shorter(size * aspect), size};
}

}  // namespace

int WriteThumbnail(const std::string& show, int size, const std::string& out,
                   std::optional<uint32_t> seed) {
  LimitThumbnailProcess(out);
  // Any other program keeps the file manager's own icon: no thumbnail, no complaint of damage.
  if (IsProgramWithoutShow(show)) {
    std::fprintf(stderr, "vyrviewer: %s: a program without a show; no thumbnail\n", show.c_str());
    return kExitRefused;
  }
  const TOpenedShow opened = OpenShow(show);
  if (!opened.Ok()) {
    std::fprintf(stderr, "vyrviewer: %s: %s\n", show.c_str(), opened.error.c_str());
    return kExitTrouble;
  }
  // A protected show keeps its slides to itself; nobody is there to type the password.
  if (ReadBool(opened.project.Get(), "Main", "opt_usepass", false)) {
    std::fprintf(stderr, "vyrviewer: %s: the show asks for a password; no thumbnail\n",
                 show.c_str());
    return kExitRefused;
  }
  const auto source = MakeRef<TVyrSource>(opened.project);
  if (source->SlideCount() <= 0) {
    std::fprintf(stderr, "vyrviewer: %s: the show has no slides\n", show.c_str());
    return kExitTrouble;
  }
  const TIntSize thumbnail = ThumbnailSize(*source, size);
  const TSlideTiming first = source->Timing(0).timing;
  TFrameRenderer renderer;
  // A thumbnail is a still: no navigation panel.
  if (std::string error = renderer.Open(show, thumbnail.width, thumbnail.height, seed,
                                        /*cover=*/false, /*noPanel=*/true);
      !error.empty()) {
    std::fprintf(stderr, "vyrviewer: %s: %s\n", show.c_str(), error.c_str());
    return kExitTrouble;
  }
  TRef<TBitmap> frame = renderer.Render(first.start + first.in);
  if (!frame) {
    std::fprintf(stderr, "vyrviewer: %s: the first slide could not be drawn\n", show.c_str());
    return kExitRefused;
  }
  std::string error;
  if (!WritePng(*frame, out, error)) {
    std::fprintf(stderr, "vyrviewer: %s: %s\n", out.c_str(), error.c_str());
    return kExitTrouble;
  }
  return 0;
}

}  // namespace vyr::viewer
