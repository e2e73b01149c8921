#pragma once
// Effect buffers kept from one frame to the next (`TKeptBuffers`). A slide drawn into a buffer
// for a transition need not be drawn again in the next frame when it reports no change
// (`TDrawItem::IsChanged`: its objects' change flags and the layout's comparison with the last
// drawn state, animation time included) and nothing outside it that shapes its pixels moved
// (the drawing context: target size, camera, the pictures' textures, the draw offset).
// A buffer not used by a frame goes back to its pool when the next frame starts.

#include <cstdint>
#include <vector>

#include "render/compose/render_target_pool.h"
#include "scene/draw_item.h"

namespace vyr {

// What a slide's pixels in a buffer depend on besides the slide itself.
struct TBufferContext {
  uint64_t drawState = 0;  // the drawer's count of changes to camera, target size and textures
  float offsetX = 0, offsetY = 0;
  bool filterOpen = false;
  bool operator==(const TBufferContext&) const = default;
};

class TKeptBuffers {
 public:
  explicit TKeptBuffers(TRenderTargetManager& pool) : pool_(pool) {}
  ~TKeptBuffers() { Clear(); }
  TKeptBuffers(const TKeptBuffers&) = delete;
  TKeptBuffers& operator=(const TKeptBuffers&) = delete;

  // Starts a frame: the buffers the last frame did not use go back to the pool.
  void BeginFrame();
  // The buffer the item was drawn into in the last frame, when its pixels still stand: same
  // context, the item unchanged since, the device texture still there. Null otherwise.
  TCustomTexture* Kept(const TDrawItem& item, const TBufferContext& context);
  // A target for drawing the item now, kept for the next frame; null when none can be had.
  TCustomTexture* Fresh(const TDrawItem& item, const TBufferContext& context);
  // The item's buffer holds nothing usable (its drawing failed).
  void Forget(const TDrawItem& item);
  // Gives every buffer back (the renderer or the window size goes).
  void Clear();

  // Slide draws saved so far.
  uint64_t ReusedCount() const { return reused_; }

 private:
  struct TEntry {
    uint64_t serial = 0;
    TBufferContext context;
    TRef<TCustomTexture> target;
    bool used = false;  // by the frame being drawn
  };
  TEntry* Find(uint64_t serial);

  TRenderTargetManager& pool_;
  std::vector<TEntry> entries_;
  uint64_t reused_ = 0;
};

}  // namespace vyr
