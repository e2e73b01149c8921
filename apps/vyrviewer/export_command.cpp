#include "export_command.h"

#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <stdexcept>

#include "audio/player/soundtrack_render.h"
#include "export/export_pipeline.h"
#include "export/progress_line.h"
#include "export/yuv_conversion.h"

namespace vyr::viewer {
namespace {

using exporting::TExportOutcome;

constexpr int kExitTrouble = 2;

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal) { stopSignal = signal; }

// SIGINT, SIGTERM and SIGHUP (the terminal closed) end the export cleanly instead of killing
// the process.
class TStopSignals {
 public:
  TStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &old_[i]);
  }
  ~TStopSignals() {
    for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &old_[i], nullptr);
  }

 private:
  static constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
  std::array<struct sigaction, 3> old_{};
};

// The end of the last slide's visibility: one round of a repeating show.
double ShowEnd(const TVyrSource& source) {
  return source.Timing(source.SlideCount() - 1).timing.visibleEnd;
}

// The drawn frame converted to the encoders' YUV on the drawing side: a third of the bytes
// of RGB cross to the encoding thread.
bool ConvertFrame(const TBitmap& bitmap, const TIntSize& size, exporting::TVideoFrame& frame) {
  if (bitmap.Width() != size.width || bitmap.Height() != size.height ||
      bitmap.Format()->BytesPerPixel() != 4 || size.width % 2 != 0 || size.height % 2 != 0)
    return false;
  const auto width = static_cast<size_t>(size.width), height = static_cast<size_t>(size.height);
  frame.yuv420 = true;
  frame.stride = size.width;
  frame.pixels.resize(width * height * 3 / 2);
  uint8_t* luma = frame.pixels.data();
  uint8_t* cb = luma + width * height;
  uint8_t* cr = cb + width * height / 4;
  for (int y = 0; y < size.height; y += 2) {
    const size_t row = static_cast<size_t>(y);
    exporting::BgraRowsToYuv420(bitmap.Row(y), bitmap.Row(y + 1), size.width, luma + row * width,
                                luma + (row + 1) * width, cb + row / 2 * (width / 2),
                                cr + row / 2 * (width / 2));
  }
  return true;
}

}  // namespace

std::string ExportUsage() {
  return "  --export OUT                     export the show to a video file:\n"
         "    [--size WxH] [--fps N] [--from MS] [--to MS] [--codec NAME] [--quality Q]\n"
         "    [--seed N] [--panel] [--quiet]\n"
         "    Frame k shows show time FROM + k x 1000 / N. Defaults: --fps 30; --from 0\n"
         "    and --to the end of the last slide, the whole show (a repeating show once\n"
         "    round); --size the show's own size; each side rounded down to even. Pause\n"
         "    barriers and manual advance are passed as if the viewer went on at once.\n"
         "    The panel is left out unless --panel. The container comes from OUT's\n"
         "    extension; codecs (the first is the default) with their default --quality\n"
         "    (constant quality, lower is better) and scale:\n" +
         exporting::OutputFormatHelp() +
         "    A progress line is shown on a terminal unless --quiet. SIGINT, SIGTERM or SIGHUP\n"
         "    keeps the part written so far under a temporary name beside OUT.\n";
}

int ExportCommand(const TLongOptions& options, TFrameRenderer& renderer) {
  exporting::TExportJob job;
  try {
    job.format = exporting::ChooseOutputFormat(options.exportPath, options.codec, options.quality);
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "vyrviewer: %s\n", error.what());
    return kExitTrouble;
  }
  const double from = options.from.value_or(0);
  const double to = options.to.value_or(ShowEnd(*renderer.Source()));
  const double frames = (to - from) * options.fps / 1000.0;
  if (!(frames > 0)) {
    std::fprintf(stderr, "vyrviewer: nothing to export between %g and %g ms\n", from, to);
    return kExitTrouble;
  }
  const TIntSize size = renderer.Size();
  job.outPath = options.exportPath;
  job.shape = {size.width, size.height, options.fps};
  // Whole frames whose show time lies before the end; a hair of slack for rounding.
  job.frameCount = static_cast<int64_t>(std::ceil(frames - 1e-9));
  job.soundFrames = static_cast<uint64_t>(
      std::llround((to - from) * exporting::TMediaWriter::kSoundRate / 1000.0));
  job.draw = [&](int64_t index, exporting::TVideoFrame& frame) {
    const double ms = from + static_cast<double>(index) * 1000.0 / options.fps;
    TRef<TBitmap> bitmap = renderer.Render(ms);
    return bitmap && ConvertFrame(*bitmap, size, frame);
  };

  TSoundtrackStream soundtrack(renderer.Source(), renderer.Files());
  if (std::string error = soundtrack.Start(from); !error.empty()) {
    std::fprintf(stderr, "vyrviewer: %s\n", error.c_str());
    return 1;
  }
  job.pullSound = [&](int16_t* out, size_t count) { soundtrack.Pull(out, count); };

  exporting::TProgressLine progress(!options.quiet && ::isatty(STDERR_FILENO));
  const auto started = std::chrono::steady_clock::now();
  job.progress = [&](int64_t done, int64_t total) {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    progress.Update(done, total, elapsed.count());
  };
  stopSignal = 0;
  TStopSignals signals;
  job.stopRequest = [] { return static_cast<int>(stopSignal); };
  const TExportOutcome outcome = exporting::RunExport(job);
  progress.Finish();
  soundtrack.Stop();
  switch (outcome.kind) {
    case TExportOutcome::Kind::Done:
      return 0;
    case TExportOutcome::Kind::Stopped:
      std::fprintf(stderr, "vyrviewer: stopped after %lld of %lld frames; the part written is %s\n",
                   static_cast<long long>(outcome.framesWritten),
                   static_cast<long long>(job.frameCount), outcome.partialPath.c_str());
      return 128 + outcome.stopRequest;
    case TExportOutcome::Kind::Failed:
      break;
  }
  std::fprintf(stderr, "vyrviewer: %s\n", outcome.error.c_str());
  return 1;
}

}  // namespace vyr::viewer
