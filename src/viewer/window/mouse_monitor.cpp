#include "viewer/window/mouse_monitor.h"

#include <cstdlib>

namespace vyr {

void TMouseMonitor::Moved(int x, int y, int64_t now) {
  lastX_ = x;
  lastY_ = y;
  SetInside(true);
  Update(now);
  if (hideInterval_ > 0 && (std::abs(x - resetX_) > 4 || std::abs(y - resetY_) > 4))
    Reset(false, x, y, now);
}

void TMouseMonitor::Tick(int64_t now) {
  if (inside_) Update(now);
}

void TMouseMonitor::SetInside(bool inside) {
  if (inside == inside_) return;
  inside_ = inside;
  if (!inside && onLeave) onLeave();
}

void TMouseMonitor::Update(int64_t now) {
  if (onCursorUpdate) onCursorUpdate();
  if (hideInterval_ > 0 && !hidden_ && now - resetTick_ > hideInterval_)
    Reset(true, lastX_, lastY_, now);
}

void TMouseMonitor::Reset(bool hidden, int x, int y, int64_t now) {
  resetTick_ = now;
  resetX_ = x;
  resetY_ = y;
  if (hidden == hidden_) return;
  hidden_ = hidden;
  if (onHiddenChanged) onHiddenChanged(hidden);
}

}  // namespace vyr
