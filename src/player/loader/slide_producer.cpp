#include "player/loader/slide_producer.h"

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "package/access/show_color_management.h"
#include "player/loader/show_frame_size.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

TRef<TVyrSlideHost> MakeShowHost(const TVyrSource& source, TRef<TFileAccessor> files,
                                 THostSettings settings) {
  std::string themes = ReadText(source.Model(), "Main", "PathToButtons", "");
  if (!themes.empty() && themes.back() != '/' && themes.back() != '\\') themes += '/';
  if (settings.themeFolder.empty()) settings.themeFolder = themes;
  settings.slideCount = source.SlideCount();
  // Colours are converted unless the show (or the command line) switched colour management off.
  settings.colorManagement = !ColorManagementOff();
  if (settings.colorManagement) settings.displayProfile = OutputProfileOrSRGB();
  return MakeRef<TVyrSlideHost>(std::move(files), std::move(settings));
}

TSlideProducer::TSlideProducer(TRef<TVyrSource> source, TRef<TVyrSlideHost> host)
    : source_(std::move(source)),
      host_(std::move(host)),
      search_([this](int index) { return TimingRecord(index); }, source_ ? source_->Length() : 0,
              source_ ? source_->SlideCount() : 0) {
  VYR_ASSERT_MSG(source_, "TSlideProducer: no source");
  VYR_ASSERT_MSG(host_, "TSlideProducer: no slide host");
  const TIniFile* model = source_->Model();
  // Without the keys the show's own default size (the one its transitions use) holds, so a
  // project that leaves them out still plays.
  input_.presentation = ShowFrameSize(*source_);
  input_.fixedSize = ReadBool(model, "Main", "opt_scr_fullfixedsize", false);
}

TSlideTiming TSlideProducer::TimingRecord(int absoluteIndex) const {
  return source_->Timing(absoluteIndex).timing;
}

TRef<TDrawContainer> TSlideProducer::BuildContainer(int absoluteIndex) {
  VYR_ASSERT_MSG(clock_, "TSlideProducer.CurrentTiming not Assigned");
  WriteLine("......................... build slide " + std::to_string(absoluteIndex));
  auto container = MakeRef<TDrawContainer>();
  container->clock = clock_;
  container->absoluteIndex = absoluteIndex;
  const TSlideTimingAt at = source_->Timing(absoluteIndex);
  container->timing = at.timing;
  if (at.loop > 0) container->repeatOffset = at.loop * source_->Length();
  BuildSlideInto(*container);
  return container;
}

void TSlideProducer::SetBuildSize(TIntSize window, TSlideFit fit) {
  std::lock_guard lock(geometryLock_);
  input_.window = window;
  input_.fit = fit;
  input_.aspect = PresentationAspect(source_->Model(), input_.presentation, window);
  host_->SetFrameSize(window.width, window.height);
  UpdateSlideSize();
}

void TSlideProducer::SetWindowSize(TIntSize window) {
  std::lock_guard lock(geometryLock_);
  input_.window = window;
  host_->SetFrameSize(window.width, window.height);
  UpdateSlideSize();
}

void TSlideProducer::SetPresentationSize(TIntSize presentation) {
  std::lock_guard lock(geometryLock_);
  input_.presentation = presentation;
  UpdateSlideSize();
}

void TSlideProducer::SetFit(double aspect, TSlideFit fit) {
  std::lock_guard lock(geometryLock_);
  input_.aspect = aspect;
  input_.fit = fit;
  UpdateSlideSize();
}

void TSlideProducer::SetScale(float scaleX, float scaleY) {
  std::lock_guard lock(geometryLock_);
  input_.scaleX = scaleX;
  input_.scaleY = scaleY;
  UpdateSlideSize();
}

void TSlideProducer::SetUpscaleFixed(bool on) {
  std::lock_guard lock(geometryLock_);
  input_.upscaleFixed = on;
  UpdateSlideSize();
}

void TSlideProducer::UpdateSlideSize() { slideSize_ = SlideSizeOf(input_); }

TIntSize TSlideProducer::WindowSize() const {
  std::lock_guard lock(geometryLock_);
  return input_.window;
}

TIntSize TSlideProducer::PresentationSize() const {
  std::lock_guard lock(geometryLock_);
  return input_.presentation;
}

double TSlideProducer::Aspect() const {
  std::lock_guard lock(geometryLock_);
  return input_.aspect;
}

TSlideFit TSlideProducer::Fit() const {
  std::lock_guard lock(geometryLock_);
  return input_.fit;
}

TIntSize TSlideProducer::SlideSize() const {
  std::lock_guard lock(geometryLock_);
  return slideSize_;
}

TIntRect TSlideProducer::SlideRect() const {
  std::lock_guard lock(geometryLock_);
  return SlideRectOf(input_.window, slideSize_);
}

TIniSection* TSlideProducer::SectionByName(const std::string& name) const {
  return name.empty() ? nullptr : FindSection(source_->Model(), name);
}

}  // namespace vyr
