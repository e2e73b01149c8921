#pragma once
// Watches the pointer over the window: whether it is inside, and hiding it after a quiet
// interval; a movement of more than 4 pixels shows it again.

#include <cstdint>
#include <functional>

namespace vyr {

class TMouseMonitor {
 public:
  std::function<void()> onCursorUpdate;
  std::function<void(bool hidden)> onHiddenChanged;
  std::function<void()> onLeave;

  // 0: no automatic hiding.
  void SetHideInterval(int64_t ms) { hideInterval_ = ms; }
  int64_t HideInterval() const { return hideInterval_; }
  bool Hidden() const { return hidden_; }

  // A pointer event at (x, y), now.
  void Moved(int x, int y, int64_t now);
  // The 20 ms tick while the pointer is inside; and the pointer left or entered.
  void Tick(int64_t now);
  void SetInside(bool inside);
  bool Inside() const { return inside_; }
  // Remembers the position and tick; calls onHiddenChanged when hidden changes.
  void Reset(bool hidden, int x, int y, int64_t now);

 private:
  void Update(int64_t now);

  int64_t hideInterval_ = 0;
  bool hidden_ = false;
  bool inside_ = false;
  int resetX_ = 0, resetY_ = 0;
  int lastX_ = 0, lastY_ = 0;
  int64_t resetTick_ = 0;
};

}  // namespace vyr
