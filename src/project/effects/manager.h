#pragma once
// The effect manager: reads the show-wide effect block (the definitions and the show's
// transition time) and each slide's effect block, and hands out the transition of a
// slide. Everything it writes into the model is written while it is created; afterwards
// it only reads, so several threads may ask it for effects.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "project/effects/default_list.h"
#include "project/effects/effect_prop.h"
#include "project/effects/random_choice.h"
#include "project/effects/vyr_effect.h"
#include "project/ini/model.h"

namespace vyr {

// The transition of a slide: none means the arriving slide is shown at once.
struct TSlideEffect {
  TRef<TVyrEffect> effect;
  double duration = 0;
  double smoothing = 0;
  // The variant chosen when the effect came from the default list, else -1.
  int defaultVariant = -1;
};

class TVYREffectManager : public TRefObject {
 public:
  // A width or height of 0 or less is read from [Main] "opt_scr_width" / "opt_scr_height".
  // Slide blocks are read for slides 0 .. slideCount - 1.
  TVYREffectManager(TRef<TIniFile> model, int slideCount, int width = 0, int height = 0,
                    TEffectChoice choice = {}, std::unique_ptr<TEffectRandom> random = nullptr);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int SlideCount() const { return static_cast<int>(slides_.size()); }
  // The show's transition time: "time" of the show-wide block.
  double ShowTime() const { return showTime_; }
  bool Reproducible() const { return choice_.Reproducible(); }

  // The listed definitions followed by the built-in ones the list lacks.
  size_t DefinitionCount() const { return definitions_.size(); }
  const TEffectProp& Definition(size_t index) const { return *definitions_[index]; }
  // The definition with that name (any case), else none.
  const TEffectProp* FindDefinition(std::string_view name) const;
  const TDefaultEffectList& DefaultList() const { return *defaultList_; }
  // The effect block of a slide (0 <= slide < SlideCount).
  const TEffectProp& SlideBlock(int slide) const { return *slides_[slide].block; }

  // The length a block gives: a definition its "time", else the show's; a reference block
  // by its kind (the show's time for "default" when there is a default list, 0 for "quick").
  double Duration(const TEffectProp& block) const;
  // The transition length of a slide; the show's time for slide < 0; beyond the count
  // the slides wrap.
  double Duration(int slide) const;
  // The transition of a slide; beyond the count the slides wrap (no slides: assertion).
  // Every call on a default-transition slide takes the next default effect.
  TSlideEffect Effect(int slide);

 protected:
  void Dispose() override;

 private:
  enum class TSlideMode { None, Default, DefOwnTime, Fixed };
  struct TSlideRecipe {
    TRef<TEffectProp> block;
    TSlideMode mode = TSlideMode::None;
    TRef<TVyrEffect> effect;  // Fixed
    double duration = 0;
    double smoothing = 0;
  };

  TIniObject* ShowBlock();
  void ReadDefinitions(TIniObject* showBlock);
  void AddBuiltInDefinition(std::string_view name, TEffectKind kind, std::string_view group);
  std::vector<TRef<TVyrEffect>> DefinitionEffects() const;
  TRef<TEffectProp> SlideBlockOf(int slide);
  TEffectKind ReferenceKind(const std::string& ref, const TEffectProp* definition) const;
  TSlideRecipe RecipeOf(int slide);
  // The effect a block of a built-in or custom kind describes; none for any other kind.
  TRef<TVyrEffect> EffectOfBlock(const TEffectProp& block, TEffectKind kind) const;
  int WrapSlide(int slide) const;

  TRef<TIniFile> model_;
  int width_ = 0;
  int height_ = 0;
  TEffectChoice choice_;
  double showTime_ = 0;
  std::vector<TRef<TEffectProp>> definitions_;
  std::vector<TRef<TIniObject>> builtIns_;
  std::unique_ptr<TDefaultEffectList> defaultList_;
  std::vector<TSlideRecipe> slides_;
};

}  // namespace vyr
