#pragma once
// The opened show: its settings, its slides' time line, end actions, programs to run
// and transitions, read once from the loaded project. Built on one thread, then read
// by many; only the choice of default transitions changes afterwards (under a lock).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ref_object.h"
#include "project/action.h"
#include "project/effects/manager.h"
#include "project/effects/random_choice.h"
#include "project/ini/model.h"
#include "project/slide_timing.h"

namespace vyr {

enum class TRepeatMode : int { Repeat = 0, Close = 1, Stop = 2 };
enum class TEndActionKind : int { None = 0, Pause = 1, Loop = 2 };

struct TEndAction {
  TEndActionKind kind = TEndActionKind::None;
  double loopLength = 0;  // Loop only: end - start - in of the slide
};

struct TRunApp {
  bool run = false;
  std::string command;
};

struct TVyrSourceOptions {
  // The program plays as a screen saver (its file name ends in ".scr").
  bool screenSaver = false;
  // Default transitions and mosaic seeds: from the clock, or reproducible from a seed.
  TEffectChoice effectChoice;
};

// Whether a program file plays shows as a screen saver: its extension is ".scr" (any case).
bool IsScreenSaverProgram(std::string_view programPath);
// The file name of a project path without folders and extension ("C:\Pics\A.B.jpg" -> "A.B").
std::string FileTitleOf(std::string_view path);

class TVyrSource : public TRefObject {
 public:
  // Reads the settings (after applying the screen-saver overrides to the model), builds the
  // effect manager with the default transition list and the slide table. A missing model
  // is an assertion failure, and so are slide ends that go backwards ("Incorrect time").
  TVyrSource(TRef<TIniFile> model, const TVyrSourceOptions& options = {});

  TIniFile* Model() const { return model_.Get(); }
  TVYREffectManager& EffectManager() const { return *effects_; }

  bool ScreenSaver() const { return screenSaver_; }
  bool PauseWhenInactive() const { return pauseWhenInactive_; }
  TRepeatMode RepeatMode() const { return repeatMode_; }
  bool Repeats() const { return repeatMode_ == TRepeatMode::Repeat; }
  bool ManualShow() const { return manualShow_; }
  int SlideCount() const { return table_.Count(); }
  int32_t HiderColor() const { return hiderColor_; }
  // The colour value's bytes, lowest first (red, green, blue, unused).
  std::array<uint8_t, 4> HiderColorBytes() const;
  // The same colour as 0xRRGGBB: what the frame fills around the slide, and what the window
  // shows before the first frame.
  uint32_t BackgroundRgb() const;
  double UnsharpAmount() const { return unsharpAmount_; }
  // The end of the last slide.
  double Length() const { return table_.Length(); }
  int Width() const { return effects_->Width(); }
  int Height() const { return effects_->Height(); }

  // Any index, the blank slide -1 and lower ones included.
  TSlideTimingAt Timing(int index) const { return table_.Timing(index); }
  int SlideAt(double t) const { return table_.SlideAt(t); }
  const TSlideTable& Table() const { return table_; }

  // Indexes past the count wrap to their slide; negative ones have none of these.
  TEndAction EndAction(int slide) const;
  TRunApp RunApp(int slide) const;
  // The action the engine dispatches for RunApp (kind RunApp with the command), else empty.
  TVyrActionInfo RunAppAction(int slide) const;
  std::string SlideId(int slide) const;
  // The incoming transition length of a slide as the time line uses it: past the last
  // slide it is that of slide index mod N when the show repeats, else 0.
  double TransitionLength(int slide) const;
  // The transition bringing a slide in (the next default one for a default slide).
  TSlideEffect Effect(int slide) const { return effects_->Effect(slide); }

 protected:
  void Dispose() override;

 private:
  struct TSlideFacts {
    std::string id;
    int endAction = -1;  // index into "pause", "loop"; -1 none
    TRunApp runApp;
  };

  void ApplyScreenSaverOverrides();
  void ReadSettings();
  void ReadSlides();
  int WrapSlide(int slide) const;

  TRef<TIniFile> model_;
  TRef<TVYREffectManager> effects_;
  bool screenSaver_ = false;
  bool pauseWhenInactive_ = true;
  TRepeatMode repeatMode_ = TRepeatMode::Repeat;
  bool manualShow_ = false;
  int32_t hiderColor_ = 0;
  double unsharpAmount_ = 0;
  TSlideTable table_;
  std::vector<TSlideFacts> slides_;
};

}  // namespace vyr
