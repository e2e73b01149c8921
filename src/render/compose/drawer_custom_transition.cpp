// T3DDrawer: custom transitions. The transition is a slide of its own whose picture objects
// marked "ReplaceWithEffectBuffer" 1 and 2 show the leaving and the arriving slide.
//
// How those pictures reach the buffers: such an object requests the host's effect picture
// ("EffectResource" n, or "SlideEffectBuffer" n when the show has no resources), a picture
// of the frame size. While the transition's slide is drawn, DrawImage recognises these
// pictures by their reserved names and draws the render target holding slide n in their
// place. The pictures themselves stay untouched, so nothing is left pointing at a pooled
// target once the frame is done, and the slide needs no knowledge of the device.

#include "render/compose/t3d_drawer.h"
#include "render/transitions/real_slide_filter.h"
#include "scene/host/reserved_names.h"

namespace vyr {
namespace {

// n of a host effect picture's name ("EffectResource1, 640, 480"), else 0.
int EffectPictureIndex(const std::string& name) {
  const std::string_view n = name;
  std::string_view rest;
  if (StartsWith(n, kEffectResourcePrefix))
    rest = n.substr(kEffectResourcePrefix.size());
  else if (StartsWith(n, kEffectBufferPrefix))
    rest = n.substr(kEffectBufferPrefix.size());
  else
    return 0;
  return ParseEffectPictureName(rest).index.value_or(0);
}

// Restores the draw offset and forgets the buffers however the slide's drawing ends.
class TEffectBufferScope {
 public:
  TEffectBufferScope(TDeviceDrawer& drawer, TCustomTexture* (&slots)[2], TCustomTexture* leaving,
                     TCustomTexture* arriving, float x, float y)
      : drawer_(drawer), slots_(slots) {
    slots_[0] = leaving;
    slots_[1] = arriving;
    drawer_.SetDrawOffset(x, y);
  }
  ~TEffectBufferScope() {
    drawer_.SetDrawOffset(0, 0);
    slots_[0] = slots_[1] = nullptr;
  }
  TEffectBufferScope(const TEffectBufferScope&) = delete;
  TEffectBufferScope& operator=(const TEffectBufferScope&) = delete;

 private:
  TDeviceDrawer& drawer_;
  TCustomTexture* (&slots_)[2];
};

}  // namespace

TCustomTexture* T3DDrawer::EffectBufferFor(const TImage& image) const {
  if (!effectBuffers_[0] && !effectBuffers_[1]) return nullptr;
  const int index = EffectPictureIndex(image.Name());
  return index == 1 || index == 2 ? effectBuffers_[index - 1] : nullptr;
}

TVyrSlide* T3DDrawer::TransitionSlide(TRealSlideFilter& filter) {
  if (!filter.SlideTried()) {
    TRef<TVyrSlide> slide = slideFactory_ ? slideFactory_(filter.Section()) : nullptr;
    if (slide) {
      // The pictures are requested once; the slide's own time starts at 0.
      slide->Advance(true, 0);
      slide->PrepareResources(*this);
    }
    filter.SetSlide(std::move(slide));
  }
  return filter.Slide();
}

bool T3DDrawer::DrawCustomTransition(TRealSlideFilter& filter, TDrawItem& leaving,
                                     TDrawItem& arriving) {
  TVyrSlide* slide = TransitionSlide(filter);
  if (!slide) return false;
  std::optional<TPooledTarget> scratch[2];
  TCustomTexture* leavingBuffer = SlideBuffer(leaving, arriving, scratch[0]);
  TCustomTexture* arrivingBuffer =
      leavingBuffer ? SlideBuffer(arriving, leaving, scratch[1]) : nullptr;
  if (!arrivingBuffer) return false;
  slide->Advance(true, filter.SlideTime());
  const TIntRect& area = ClipRect();
  TEffectBufferScope scope(*this, effectBuffers_, leavingBuffer, arrivingBuffer,
                           static_cast<float>(area.left), static_cast<float>(area.top));
  DrawItem(*slide);
  return true;
}

}  // namespace vyr
