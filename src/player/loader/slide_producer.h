#pragma once
// Builds the prepared slides of a show (and the slides of its dialogs and custom
// transitions) and owns the presentation geometry: how the authored frame sits in the window.

#include <mutex>
#include <string>

#include "player/loader/slide_cache.h"
#include "player/loader/slide_geometry.h"
#include "player/loader/slide_window.h"
#include "project/vyr_source.h"
#include "scene/animation/slide_timing.h"
#include "scene/host/slide_host.h"

namespace vyr {

class TVyrSlide;
class TVyrDialog;

struct TBuiltDialog {
  TRef<TVyrDialog> dialog;  // none when the show has no such dialog
  std::string name;
  bool pause = true;  // "DialogPause": the show pauses while it is open
};

// The constant k of a slide's depth factor ((-camera z) x k / height): depth is measured in
// the same pixel unit as width and height, so k = 1.
inline constexpr float kSlideDepthConstant = 1.0f;

// A slide host for a show: the button themes of [Main] "PathToButtons", the slide count,
// whether colours are converted to the display profile (the show's colour management).
// settings supplies the rest (font-cache key, frame-size and effect-resource callbacks).
TRef<TVyrSlideHost> MakeShowHost(const TVyrSource& source, TRef<TFileAccessor> files,
                                 THostSettings settings = {});

class TSlideProducer : public TContainerFactory {
 public:
  TSlideProducer(TRef<TVyrSource> source, TRef<TVyrSlideHost> host);

  // The shared clock; building without one is the assertion
  // "TSlideProducer.CurrentTiming not Assigned".
  void SetCurrentTiming(TRef<TTiming> clock) { clock_ = std::move(clock); }
  const TRef<TTiming>& CurrentTiming() const { return clock_; }

  // TContainerFactory
  TSlideWindow WindowSearch(double time) override { return search_.Search(time); }
  TRef<TDrawContainer> BuildContainer(int absoluteIndex) override;

  // The source's record of any index: later passes shifted, -1 the blank slide.
  TSlideTiming TimingRecord(int absoluteIndex) const;

  // Geometry. Any thread may change or read it at any time, also while a slide is being
  // built: each slide is built with the geometry of the moment its build began.
  void SetBuildSize(TIntSize window, TSlideFit fit);
  void SetWindowSize(TIntSize window);
  void SetPresentationSize(TIntSize presentation);
  void SetFit(double aspect, TSlideFit fit);
  void SetScale(float scaleX, float scaleY);
  void SetUpscaleFixed(bool on);
  TIntSize WindowSize() const;
  TIntSize PresentationSize() const;
  double Aspect() const;
  TSlideFit Fit() const;
  TIntSize SlideSize() const;
  TIntRect SlideRect() const;
  TVec3 CameraPosition() const { return host_->CameraPosition(); }
  TIniSection* SectionByName(const std::string& name) const;

  // Slide i of the project (0-based), none when its section is missing; exceptions pass.
  TRef<TVyrSlide> BuildSlide(int slide);
  // The slide before the first: no objects, the show's background.
  TRef<TVyrSlide> BuildBlankSlide();
  // "help" is the first "dialog_<n>_" section whose "help" is set; other names are looked up
  // among [Main] "custom_dialog<i>", else "dialog_<name>". Set to time 0.
  TBuiltDialog BuildDialog(const std::string& name);
  // A custom transition's slide, lasting the section's "CustomEffTime".
  TRef<TVyrSlide> BuildCustomTransitionSlide(const TIniSection* effectSection);

  TVyrSource& Source() const { return *source_; }
  TVyrSlideHost& Host() const { return *host_; }

 private:
  struct TBuildFrame {
    float designWidth = 0, designHeight = 0;
    float centreX = 0, centreY = 0;
    float scaleX = 100, scaleY = 100;  // percent: slide size over design size
  };
  // The geometry of this moment, for one whole build.
  TBuildFrame Frame() const;
  template <class TSlideClass>
  TRef<TSlideClass> NewSlide(bool flag, const TBuildFrame& frame) const;
  static void ApplyScreenScale(TVyrSlide& slide, const TBuildFrame& frame);
  TRef<TVyrSlide> BuildSlideAt(int slide, const TBuildFrame& frame);
  TRef<TVyrSlide> BuildBlankSlideAt(const TBuildFrame& frame);
  std::string DialogSectionName(const std::string& name) const;
  void UpdateSlideSize();
  // Puts the slide of absoluteIndex (blank below 0) into the container; a slide that fails
  // is logged and left out.
  void BuildSlideInto(TDrawContainer& container);

  TRef<TVyrSource> source_;
  TRef<TVyrSlideHost> host_;
  TRef<TTiming> clock_;
  mutable std::mutex geometryLock_;  // guards input_ and slideSize_
  TSlideGeometryInput input_;
  TIntSize slideSize_;
  TSlideWindowSearch search_;
};

}  // namespace vyr
