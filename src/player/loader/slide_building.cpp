// Building the slides of containers, dialogs and custom transitions on the producer's host.
#include <exception>
#include <mutex>

#include "foundation/case_fold.h"
#include "foundation/log.h"
#include "player/loader/slide_producer.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/animation/animated_fields.h"
#include "scene/objects/vyr_dialog.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

namespace {

std::string SlideSectionName(int slide) { return "Slide" + std::to_string(slide + 1); }

}  // namespace

TSlideProducer::TBuildFrame TSlideProducer::Frame() const {
  std::lock_guard lock(geometryLock_);
  TBuildFrame frame;
  frame.designWidth = static_cast<float>(input_.presentation.width);
  frame.designHeight = static_cast<float>(input_.presentation.height);
  frame.centreX = input_.window.width / 2.0f;
  frame.centreY = input_.window.height / 2.0f;
  frame.scaleX = frame.designWidth > 0 ? slideSize_.width * 100.0f / frame.designWidth : 100;
  frame.scaleY = frame.designHeight > 0 ? slideSize_.height * 100.0f / frame.designHeight : 100;
  return frame;
}

template <class TSlideClass>
TRef<TSlideClass> TSlideProducer::NewSlide(bool flag, const TBuildFrame& frame) const {
  auto slide = MakeRef<TSlideClass>(host_, const_cast<TSlideProducer*>(this), flag);
  slide->SetOwnSize(frame.designWidth, frame.designHeight);
  slide->SetReferenceOrigin(frame.centreX, frame.centreY);
  return slide;
}

void TSlideProducer::ApplyScreenScale(TVyrSlide& slide, const TBuildFrame& frame) {
  // The root scales the design frame to the slide size on the screen.
  slide.Props().SetAnimatedValue(kValueScaleX, frame.scaleX);
  slide.Props().SetAnimatedValue(kValueScaleY, frame.scaleY);
}

void TSlideProducer::BuildSlideInto(TDrawContainer& container) {
  const TBuildFrame frame = Frame();
  if (container.absoluteIndex < 0) {
    container.slide = BuildBlankSlideAt(frame);
    return;
  }
  const int count = source_->SlideCount();
  VYR_ASSERT_MSG(count > 0, "No Slides in Presentation");
  const int slide = container.absoluteIndex % count;
  const std::string name = SlideSectionName(slide);
  try {
    container.slide = BuildSlideAt(slide, frame);
    if (!container.slide) {
      WriteLine("Slide " + std::to_string(slide + 1) + " (" + name +
                ") not built: the project has no such section");
      return;
    }
    const TSlideEffect effect = source_->Effect(slide);
    if (effect.effect)
      container.filter =
          MakeRef<TVyrFilter>(effect.effect, effect.duration, static_cast<float>(effect.smoothing));
  } catch (const std::exception& error) {
    container.slide.Reset();
    container.filter.Reset();
    WriteLine("Slide " + std::to_string(slide + 1) + " (" + name + ") not built: " + error.what());
  }
}

TRef<TVyrSlide> TSlideProducer::BuildSlide(int slide) { return BuildSlideAt(slide, Frame()); }

TRef<TVyrSlide> TSlideProducer::BuildSlideAt(int slide, const TBuildFrame& frame) {
  const TIniFile* model = source_->Model();
  const TIniSection* section = FindSection(model, SlideSectionName(slide));
  if (!section) return nullptr;
  const TSlideTiming record = source_->Timing(slide).timing;
  auto built = NewSlide<TVyrSlide>(false, frame);
  built->BuildFromSection(FindSection(model, "Main"), section, false, record.out, record.out,
                          record.in, record.in, slide, false, FindSection(model, "Times"));
  ApplyScreenScale(*built, frame);
  return built;
}

TRef<TVyrSlide> TSlideProducer::BuildBlankSlide() { return BuildBlankSlideAt(Frame()); }

TRef<TVyrSlide> TSlideProducer::BuildBlankSlideAt(const TBuildFrame& frame) {
  // Only the show's background, from the blank time before the first slide until it is in.
  const TSlideTiming record = source_->Timing(-1).timing;
  auto blank = NewSlide<TVyrSlide>(false, frame);
  blank->SetOrigins(MakeSlideOrigins(record.start, record.end, record.in, record.out));
  const TIniFile* model = source_->Model();
  blank->BuildFromSection(FindSection(model, "Main"), nullptr, true, record.out, record.out,
                          record.in, record.in, -1, false, FindSection(model, "Times"));
  ApplyScreenScale(*blank, frame);
  return blank;
}

std::string TSlideProducer::DialogSectionName(const std::string& name) const {
  const TIniFile* model = source_->Model();
  if (SameName(name, "help")) {
    for (int n = 1;; ++n) {
      const TIniSection* section = FindSection(model, "dialog_" + std::to_string(n) + "_");
      if (!section) return {};
      if (ReadBool(FindKey(section, "help"), false)) return section->Name();
    }
  }
  const int count = ReadInt(model, "Main", "opt_customdialogscount", 0);
  for (int i = 1; i <= count; ++i) {
    const std::string key = "custom_dialog" + std::to_string(i);
    if (SameName(ReadText(model, "Main", key, ""), name))
      return "dialog_" + std::to_string(i) + "_";
  }
  return "dialog_" + name;
}

TBuiltDialog TSlideProducer::BuildDialog(const std::string& name) {
  TBuiltDialog result;
  const std::string sectionName = DialogSectionName(name);
  const TIniSection* section = SectionByName(sectionName);
  if (!section) return result;
  const TIniFile* model = source_->Model();
  const TBuildFrame frame = Frame();
  auto dialog = NewSlide<TVyrDialog>(true, frame);
  dialog->SetOrigins(MakeSlideOrigins(0, 0, 0, 0));
  dialog->BuildFromSection(FindSection(model, "Main"), section, true, 0, 0, 0, 0, 0, false,
                           FindSection(model, "Times"));
  ApplyScreenScale(*dialog, frame);
  dialog->Advance(true, 0);
  result.dialog = dialog;
  result.name = name;
  result.pause = ReadBool(FindKey(section, "DialogPause"), true);
  return result;
}

TRef<TVyrSlide> TSlideProducer::BuildCustomTransitionSlide(const TIniSection* effectSection) {
  if (!effectSection) return nullptr;
  const TBuildFrame frame = Frame();
  auto slide = NewSlide<TVyrSlide>(false, frame);
  slide->SetOrigins(CustomEffectSlideOrigins(effectSection));
  const TIniFile* model = source_->Model();
  slide->BuildFromSection(FindSection(model, "Main"), effectSection, true, 0, 0, 0, 0, 0, true,
                          FindSection(model, "Times"));
  ApplyScreenScale(*slide, frame);
  return slide;
}

}  // namespace vyr
