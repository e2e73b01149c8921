#pragma once
// A video picture: one decoded frame in memory, as planar YUV 4:2:0 (limited range) or
// 32-bit BGRA. The extractor writes it while the picture is out of its pool; the drawer
// uploads it to its textures on the drawing thread when its revision moved on.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "foundation/ref_object.h"

namespace vyr {

enum class TVideoKind : uint8_t { Yuv420 = 0, Rgba = 1 };

// Frames wider or higher than this are refused before anything is allocated.
inline constexpr int kMaxVideoSide = 16384;

class TVideoPicture : public TRefObject {
 public:
  TVideoPicture(int width, int height, TVideoKind kind);

  int Width() const { return width_; }
  int Height() const { return height_; }
  TVideoKind Kind() const { return kind_; }
  // Y, U, V (YUV) or the single BGRA plane (RGBA).
  int PlaneCount() const { return kind_ == TVideoKind::Yuv420 ? 3 : 1; }
  int PlaneWidth(int plane) const;
  int PlaneHeight(int plane) const;
  int Pitch(int plane) const { return pitch_[plane]; }
  uint8_t* Plane(int plane) { return planes_[plane].data(); }
  const uint8_t* Plane(int plane) const { return planes_[plane].data(); }

  // A picture is invalid until a frame was decoded into it.
  bool Valid() const { return valid_.load(); }
  void SetValid(bool valid) { valid_.store(valid); }
  // Moves on with every frame written; the drawer uploads when it differs from its own.
  uint64_t Revision() const { return revision_.load(); }
  void MarkWritten() { revision_.fetch_add(1); }

  // The pool that owns the picture hears when its content is gone (the drawer went).
  void SetLostHandler(std::function<void()> handler);
  void ReportLost();

 private:
  int width_, height_;
  TVideoKind kind_;
  int pitch_[3] = {};
  std::vector<uint8_t> planes_[3];
  std::atomic<bool> valid_{false};
  std::atomic<uint64_t> revision_{0};
  std::mutex handlerLock_;
  std::function<void()> lostHandler_;
};

}  // namespace vyr
