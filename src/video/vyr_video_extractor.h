#pragma once
// `TVyrVideoExtractor`: decodes a clip's frames ahead on its own thread into a small pool of
// video pictures. The engine thread lends the picture nearest to the frame it needs (the
// picture leaves the pool, so it is never written while drawn) and names the frame it will
// need next; the thread recycles the picture farthest from the wanted frame.

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "scene/video/video_picture.h"
#include "video/frame_source.h"

namespace vyr {

inline constexpr int kNoFrame = -2;
// The decoded index of a picture whose content is not valid: no frame index matches it.
inline constexpr int kInvalidFrame = -2147483647;

struct TPoolEntry {
  TRef<TVideoPicture> picture;
  int requested = kNoFrame;
  int decoded = kNoFrame;
};

class TVyrVideoExtractor : public TRefObject {
 public:
  // Owns the source; the thread starts at once and waits for pictures and a wanted frame.
  explicit TVyrVideoExtractor(TRef<TFrameSource> source, bool loop = false);

  const TVideoSourceInfo& Params() const { return params_; }
  int IndexOfTime(double ms) const;

  void Add(TRef<TVideoPicture> picture);
  // Wanted := the index of t unless a picture holds it; with wait, blocks until that frame
  // was decoded or the extractor stops, at most timeoutMs (false when the time ran out).
  bool Request(bool wait, double t, double timeoutMs = 10000);
  // Takes the entry nearest to the index of t out of the pool and asks for the frame one
  // display frame later (rate frames a second). False with an empty pool.
  bool Lend(double rate, double t, TPoolEntry& entry, bool& exact);
  // The nearest entry whose picture is valid; false when none is.
  bool LendValid(double t, TPoolEntry& entry);
  void GiveBack(TPoolEntry entry);
  // Stops the thread (waiting for it) and releases the pool's pictures.
  void Stop();

  // For tests: the wanted index (kNoFrame when none) and the pool's decoded indexes.
  int Wanted() const;
  std::vector<int> PoolIndexes() const;
  int DecodeCount() const;

 protected:
  void Dispose() override;

 private:
  void Run();
  void PictureLost(TVideoPicture* picture);
  bool Holds(int index) const;  // under the lock
  size_t NearestEntry(int index, bool validOnly) const;

  TRef<TFrameSource> source_;
  TVideoSourceInfo params_;
  bool loop_;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::vector<TPoolEntry> pool_;
  int wanted_ = kNoFrame;
  bool stopped_ = false;
  int decodes_ = 0;
  std::thread thread_;
};

}  // namespace vyr
