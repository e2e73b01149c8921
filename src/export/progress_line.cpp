#include "export/progress_line.h"

#include <cmath>
#include <cstdio>

namespace vyr::exporting {

std::string ProgressText(int64_t done, int64_t total, double elapsed) {
  const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1;
  const double fps = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
  char left[32] = "--:--";
  if (fps > 0 && done > 0) {
    const auto seconds = static_cast<long long>(std::ceil(static_cast<double>(total - done) / fps));
    std::snprintf(left, sizeof left, "%lld:%02lld", seconds / 60, seconds % 60);
  }
  char line[128];
  std::snprintf(line, sizeof line, "%3d%%  %lld/%lld frames  %.1f fps  %s left",
                static_cast<int>(std::floor(fraction * 100)), static_cast<long long>(done),
                static_cast<long long>(total), fps, left);
  return line;
}

void TProgressLine::Update(int64_t done, int64_t total, double elapsed) {
  if (!enabled_) return;
  if (done < total && lastShown_ >= 0 && elapsed - lastShown_ < 0.1) return;
  lastShown_ = elapsed;
  // \033[K clears what a longer earlier line left behind.
  std::fprintf(stderr, "\r%s\033[K", ProgressText(done, total, elapsed).c_str());
  std::fflush(stderr);
  shown_ = true;
}

void TProgressLine::Finish() {
  if (shown_) std::fputc('\n', stderr);
  shown_ = false;
}

}  // namespace vyr::exporting
