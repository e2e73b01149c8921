#pragma once
// Frames of a show rendered headless: the show opened as the player opens it, the slides
// visible at a show time built synchronously, drawn with the frame drawer.

#include <cstdint>
#include <optional>
#include <string>

#include "imaging/bitmap/bitmap.h"
#include "player/loader/slide_producer.h"
#include "player/overlay/third_slide.h"
#include "render/compose/root_item.h"
#include "render/compose/t3d_drawer.h"
#include "render/device/headless_draw_device.h"

namespace vyr::viewer {

class TFrameRenderer {
 public:
  TFrameRenderer() = default;
  // Logs how many frames and slide draws reuse saved.
  ~TFrameRenderer();
  TFrameRenderer(const TFrameRenderer&) = delete;
  TFrameRenderer& operator=(const TFrameRenderer&) = delete;

  // Opens the show; width and height 0 take the show's own size. Empty on success, else
  // the reason. With cover the slide fills the window instead of fitting inside it; with
  // noPanel the overlay leaves the navigation panel out; with evenSides the size is rounded
  // down to even sides (video encoders need them).
  std::string Open(const std::string& showPath, int width, int height, std::optional<uint32_t> seed,
                   bool cover = false, bool noPanel = false, bool evenSides = false);
  // The opened show's project (none before Open).
  const TIniFile* Project() const { return project_.Get(); }
  // The frame the show presents at show time ms; null when nothing could be drawn. A frame
  // in which nothing changed since the last one is that frame's bitmap again.
  TRef<TBitmap> Render(double ms);
  // Off: every frame and every slide is drawn afresh (on by default; after Open).
  void SetFrameReuse(bool on);

  TIntSize Size() const { return window_; }
  TRef<TVyrSource> Source() const { return source_; }
  TRef<TFileAccessor> Files() const { return files_; }

 private:
  TRef<TDrawContainer> Container(int absoluteIndex);

  TRef<TIniFile> project_;
  TRef<TVyrSource> source_;
  TRef<TFileAccessor> files_;
  TRef<TSlideProducer> producer_;
  TRef<THeadlessDrawDevice> device_;
  TRef<T3DDrawer> drawer_;
  TRef<TRootItem> root_;
  TRef<TThirdSlide> overlay_;
  std::vector<TRef<TDrawContainer>> built_;  // kept while their slides may be drawn again
  TIntSize window_;
  bool reuse_ = true;
  uint64_t drawnState_ = 0;  // the drawer's state when the last frame was drawn
  int64_t framesDrawn_ = 0, framesReused_ = 0;
};

}  // namespace vyr::viewer
