#include "frame_renderer.h"

#include <algorithm>
#include <string>

#include "foundation/log.h"
#include "package/access/show_opener.h"
#include "player/engine/frame_pick.h"
#include "player/loader/show_frame_size.h"
#include "project/vyr_source.h"
#include "render/device/frame_limits.h"
#include "scene/camera.h"
#include "video/clip_playback.h"

namespace vyr::viewer {

std::string TFrameRenderer::Open(const std::string& showPath, int width, int height,
                                 std::optional<uint32_t> seed, bool cover, bool noPanel,
                                 bool evenSides) {
  InstallVideoClips();
  const TOpenedShow show = OpenShow(showPath);
  if (!show.Ok()) return show.error;
  project_ = show.project;
  TVyrSourceOptions options;
  options.effectChoice.seed = seed;
  auto source = MakeRef<TVyrSource>(show.project, options);
  source_ = source;
  files_ = show.accessor;
  if (source->SlideCount() <= 0) return "the show has no slides";
  if (std::string problem = ShowFrameSizeProblem(*source); !problem.empty()) return problem;
  producer_ = MakeRef<TSlideProducer>(source, MakeShowHost(*source, show.accessor));
  producer_->SetCurrentTiming(MakeRef<TTiming>());
  window_ = width > 0 && height > 0 ? TIntSize{width, height} : producer_->PresentationSize();
  if (evenSides)
    window_ = TIntSize{std::max(2, window_.width & ~1), std::max(2, window_.height & ~1)};
  if (std::string problem = DrawableFrameSizeProblem(window_.width, window_.height);
      !problem.empty())
    return "a frame of " + problem;
  producer_->SetBuildSize(window_, cover ? TSlideFit::Cover : TSlideFit::FitInside);

  device_ = MakeRef<THeadlessDrawDevice>(window_.width, window_.height);
  drawer_ = MakeRef<T3DDrawer>();
  drawer_->Attach(device_.Get());
  if (!drawer_->Screen().Renderer()) return "no headless OpenGL 3.3 device";
  drawer_->SetCaptureMode(true);
  // A custom transition's slide is built by the show's producer, like every other slide.
  drawer_->SetTransitionSlideFactory([this](const TIniSection* section) {
    return producer_->BuildCustomTransitionSlide(section);
  });
  root_ = MakeRef<TRootItem>();
  // The overlay as playback starts: the show plays and no pointer has moved yet.
  TOverlayParams overlay;
  overlay.accessor = show.accessor;
  overlay.project = show.project;
  overlay.slideRect = producer_->SlideRect();
  overlay.displayProfile = producer_->Host().DisplayProfile();
  overlay.root = root_.Get();
  overlay.noPanel = noPanel;
  overlay.callbacks.isPlaying = [] { return true; };
  overlay.windowSize = window_;
  overlay.slideSize = producer_->PresentationSize();
  overlay.showDuration = source->Length();
  overlay.clock = [] { return int64_t{0}; };
  overlay_ = BuildOverlay(overlay);
  root_->SetBackground(true, source->BackgroundRgb());
  root_->SetSharpenAmount(static_cast<float>(source->UnsharpAmount()));
  root_->SetArea(window_.width, window_.height);
  return {};
}

TRef<TDrawContainer> TFrameRenderer::Container(int absoluteIndex) {
  for (const auto& c : built_)
    if (c->absoluteIndex == absoluteIndex) return c;
  TRef<TDrawContainer> container = producer_->BuildContainer(absoluteIndex);
  built_.push_back(container);
  if (built_.size() > 4) built_.erase(built_.begin());
  return container;
}

TRef<TBitmap> TFrameRenderer::Render(double ms) {
  producer_->CurrentTiming()->SetCurrentTime(ms);
  producer_->CurrentTiming()->SetProposedTime(ms);
  const TSlideWindow window = producer_->WindowSearch(ms);
  std::vector<TRef<TDrawContainer>> shown;
  for (int index = window.first; index <= window.last; ++index) {
    TRef<TDrawContainer> container = Container(index);
    if (!container->slide) continue;
    // As the player does: pictures first, then the layout at the time.
    container->AdvanceTo(ms);
    container->slide->PrepareResources(*drawer_);
    container->AdvanceTo(ms);
    // Capture mode: video objects wait for the exact frame of the time when drawn.
    container->RequestFrames(*drawer_, ms);
    shown.push_back(container);
  }
  std::vector<TDrawContainer*> visible;
  for (const auto& container : shown) visible.push_back(container.Get());
  TFramePick pick = PickFrame(visible);
  std::vector<TRef<TDrawItem>> items = std::move(pick.slides);
  TRef<TVyrFilter> filter = std::move(pick.filter);
  overlay_->UpdateFrame(ms);
  items.push_back(overlay_);
  root_->SetItems(std::move(items));
  root_->SetFilter(filter);
  const TIntRect slideRect = producer_->SlideRect();
  drawer_->SetCamera(slideRect, producer_->PresentationSize().width,
                     DefaultCamera(window_.width, window_.height));
  if (reuse_ && drawer_->DrawState() == drawnState_ && !root_->IsChanged()) {
    if (TRef<TBitmap> last = drawer_->LastCapture()) {
      ++framesReused_;
      return last;
    }
  }
  drawer_->DrawItem(*root_);
  drawnState_ = drawer_->DrawState();
  ++framesDrawn_;
  return drawer_->Capture();
}

void TFrameRenderer::SetFrameReuse(bool on) {
  reuse_ = on;
  if (drawer_) drawer_->SetBufferReuse(on);
}

TFrameRenderer::~TFrameRenderer() {
  if (framesDrawn_ + framesReused_ < 2 || !drawer_) return;
  WriteLine("frames reused: " + std::to_string(framesReused_) + " of " +
            std::to_string(framesDrawn_ + framesReused_) +
            ", slide buffers reused: " + std::to_string(drawer_->ReusedBufferCount()));
}

}  // namespace vyr::viewer
