#include "project/effects/manager.h"

#include <cmath>

#include "foundation/case_fold.h"
#include "foundation/exceptions.h"
#include "project/effects/builder.h"
#include "project/effects/custom_effect.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

constexpr std::string_view kBlockName = "TheEffect";
constexpr std::string_view kBlockClass = "AnEffect";
// A custom definition adds at most this many variants to the default list.
constexpr size_t kMaxCustomVariants = 4096;

// Unreadable, negative and endless lengths mean no transition.
double SaneDuration(double ms) { return std::isfinite(ms) && ms > 0 ? ms : 0; }

}  // namespace

TVYREffectManager::TVYREffectManager(TRef<TIniFile> model, int slideCount, int width, int height,
                                     TEffectChoice choice, std::unique_ptr<TEffectRandom> random)
    : model_(std::move(model)), choice_(choice) {
  VYR_ASSERT_MSG(model_, "There is no IniFile for EffectRuller");
  const TIniSection* main = FindSection(model_.Get(), "Main");
  width_ = width > 0 ? width : ReadInt(FindKey(main, "opt_scr_width"), 1920);
  height_ = height > 0 ? height : ReadInt(FindKey(main, "opt_scr_height"), 1080);

  TIniObject* showBlock = ShowBlock();
  showTime_ = SaneDuration(ReadFloat(FindKey(showBlock, "time"), 0));
  ReadDefinitions(showBlock);
  defaultList_ =
      std::make_unique<TDefaultEffectList>(DefinitionEffects(), choice_, std::move(random));
  slides_.reserve(static_cast<size_t>(std::max(slideCount, 0)));
  for (int i = 0; i < slideCount; ++i) slides_.push_back(RecipeOf(i));
}

void TVYREffectManager::Dispose() {
  slides_.clear();
  defaultList_.reset();
  definitions_.clear();
  builtIns_.clear();
  model_.Reset();
}

TIniObject* TVYREffectManager::ShowBlock() {
  TIniSection* main = FindOrAddSection(model_.Get(), "Main");
  if (TIniObject* block = FindObjectOfClass(main, kBlockName, kBlockClass)) return block;
  TIniObject* block = main->AddObject(std::string(kBlockName), std::string(kBlockClass));
  block->AddKey("time", "2000");
  return block;
}

void TVYREffectManager::ReadDefinitions(TIniObject* showBlock) {
  for (TIniObject* object = FirstObject(showBlock); object;
       object = NextObject(showBlock, object)) {
    if (FindKey(object, "ref")) continue;  // a reference block is no definition
    definitions_.push_back(MakeRef<TEffectProp>(object, TEffectProp::DefinitionKind(*object)));
  }
  AddBuiltInDefinition("default", TEffectKind::Default, "GroupFromProjectOptions");
  AddBuiltInDefinition("defowntime", TEffectKind::DefOwnTime, "GroupFromProjectOptions");
  AddBuiltInDefinition("quick", TEffectKind::Quick, "GroupBasic");
}

void TVYREffectManager::AddBuiltInDefinition(std::string_view name, TEffectKind kind,
                                             std::string_view group) {
  if (FindDefinition(name)) return;
  auto object = MakeRef<TIniObject>(std::string(name), std::string(kBlockClass));
  object->AddKey("stdidx", std::to_string(static_cast<int>(kind)));
  object->AddKey("group", std::string(group));
  object->AddKey("caption", std::string(name));
  object->AddKey("islocal", "1");
  definitions_.push_back(MakeRef<TEffectProp>(object.Get(), kind));
  builtIns_.push_back(std::move(object));
}

const TEffectProp* TVYREffectManager::FindDefinition(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (const TRef<TEffectProp>& definition : definitions_)
    if (SameName(definition->Object()->Name(), name)) return definition.Get();
  return nullptr;
}

std::vector<TRef<TVyrEffect>> TVYREffectManager::DefinitionEffects() const {
  std::vector<TRef<TVyrEffect>> effects;
  for (const TRef<TEffectProp>& definition : definitions_) {
    if (definition->CheckedState() == 0) continue;
    if (definition->Kind() == TEffectKind::Custom) {
      const TCustomVariants variants(*definition);
      for (uint64_t v : variants.EnabledVariants(kMaxCustomVariants))
        effects.push_back(BuildCustomEffect(*model_, *definition, variants.SlideKey(v),
                                            definition->Name(), width_, height_));
    } else if (TRef<TVyrEffect> effect = EffectOfBlock(*definition, definition->Kind())) {
      effects.push_back(std::move(effect));
    }
  }
  return effects;
}

TRef<TEffectProp> TVYREffectManager::SlideBlockOf(int slide) {
  TIniSection* section = FindSection(model_.Get(), "Slide" + std::to_string(slide + 1));
  TIniObject* object = FindObjectOfClass(section, kBlockName, kBlockClass);
  TRef<TIniObject> detached;
  if (!object) {
    if (section) {
      object = section->AddObject(std::string(kBlockName), std::string(kBlockClass));
    } else {
      // No section to write into: the block lives with the manager only.
      detached = MakeRef<TIniObject>(std::string(kBlockName), std::string(kBlockClass));
      object = detached.Get();
    }
    object->AddKey("ref", "default");
  }
  const std::string ref = ReadText(FindKey(object, "ref"), "default");
  const TEffectProp* definition = FindDefinition(ref);
  return MakeRef<TEffectProp>(object, ReferenceKind(ref, definition), definition);
}

TEffectKind TVYREffectManager::ReferenceKind(const std::string& ref,
                                             const TEffectProp* definition) const {
  if (std::optional<TEffectKind> byName = EffectKindFromName(ref)) return *byName;
  if (definition) return definition->Kind();
  return TEffectKind::Dissolve;  // a "ref" naming nothing known
}

double TVYREffectManager::Duration(const TEffectProp& block) const {
  TIniObject* object = block.Object();
  if (!block.IsReference()) return SaneDuration(ReadFloat(FindKey(object, "time"), showTime_));
  switch (block.Kind()) {
    case TEffectKind::Default:
      return defaultList_->Empty() ? 0 : showTime_;
    case TEffectKind::Quick:
      return 0;
    case TEffectKind::DefOwnTime:
      if (!FindKey(object, "time")) {
        // The block gets the show's time for later readers; this reading counts as none.
        WriteFloat(FindOrAddKey(object, "time"), showTime_);
        return 0;
      }
      [[fallthrough]];
    default:
      return SaneDuration(ReadFloat(FindKey(object, "time"), 0));
  }
}

TRef<TVyrEffect> TVYREffectManager::EffectOfBlock(const TEffectProp& block,
                                                  TEffectKind kind) const {
  if (std::optional<TEffectType> type = EffectTypeOfKind(kind))
    return BuildStandardEffect(*type, block, block.Name());
  if (kind != TEffectKind::Custom) return nullptr;
  const TCustomVariants variants(block);
  const std::vector<uint64_t> enabled = variants.EnabledVariants(1);
  if (enabled.empty()) return nullptr;
  return BuildCustomEffect(*model_, block, variants.SlideKey(enabled.front()), block.Name(), width_,
                           height_);
}

TVYREffectManager::TSlideRecipe TVYREffectManager::RecipeOf(int slide) {
  TSlideRecipe recipe;
  recipe.block = SlideBlockOf(slide);
  const TEffectProp& block = *recipe.block;
  recipe.duration = Duration(block);
  switch (block.Kind()) {
    case TEffectKind::Default:
      recipe.mode = TSlideMode::Default;
      break;
    case TEffectKind::DefOwnTime:
      recipe.mode = TSlideMode::DefOwnTime;
      break;
    case TEffectKind::Quick:
      recipe.mode = TSlideMode::None;
      break;
    default:
      recipe.effect = EffectOfBlock(block, block.Kind());
      recipe.mode = recipe.effect ? TSlideMode::Fixed : TSlideMode::None;
      recipe.smoothing = ReadFloat(block.Key("smoothline"), 0);
      break;
  }
  return recipe;
}

int TVYREffectManager::WrapSlide(int slide) const {
  const int n = SlideCount();
  return slide % n;
}

double TVYREffectManager::Duration(int slide) const {
  if (slide < 0) return showTime_;
  if (slides_.empty()) return 0;
  return slides_[WrapSlide(slide)].duration;
}

TSlideEffect TVYREffectManager::Effect(int slide) {
  VYR_ASSERT(!slides_.empty() && slide >= 0);
  const int index = WrapSlide(slide);
  const TSlideRecipe& recipe = slides_[index];
  TSlideEffect result;
  result.duration = recipe.duration;
  switch (recipe.mode) {
    case TSlideMode::None:
      return {};
    case TSlideMode::Default:
    case TSlideMode::DefOwnTime: {
      TDefaultChoice choice = defaultList_->Next(index);
      if (!choice.effect) return {};
      result.effect = std::move(choice.effect);
      result.defaultVariant = choice.variant;
      result.smoothing = result.effect->smoothing;
      break;
    }
    case TSlideMode::Fixed:
      result.effect = recipe.effect->Clone();
      result.smoothing = recipe.smoothing;
      break;
  }
  if (result.effect->type == TEffectType::Mosaic) {
    int32_t seed;
    if (choice_.Reproducible())
      seed = static_cast<int32_t>(static_cast<uint32_t>(index) ^ *choice_.seed);
    else
      seed = 4096 * defaultList_->Random(4096) + defaultList_->Random(4096);
    result.effect->ints.resize(effect_param::kMosaicSeed + 1, 0);
    result.effect->ints[effect_param::kMosaicSeed] = seed;
  }
  if (result.duration == 0) return {};
  return result;
}

}  // namespace vyr
