#include "project/vyr_source.h"

#include <algorithm>
#include <charconv>

#include "foundation/case_fold.h"
#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

constexpr std::array<std::string_view, 3> kRepeatNames{"repeat", "close", "stop"};
constexpr std::array<std::string_view, 2> kEndActionNames{"pause", "loop"};

std::string SlideSectionName(int slide) { return "Slide" + std::to_string(slide + 1); }

// The number after prefix in name ("Slide12" -> 12), else 0.
int64_t NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || !SameName(name.substr(0, prefix.size()), prefix)) return 0;
  const std::string_view digits = name.substr(prefix.size());
  int64_t n = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return error == std::errc() && end == digits.data() + digits.size() ? n : 0;
}

// The highest slide number the project describes: by a section or by an end time.
int64_t HighestDescribedSlide(const TIniFile& model, const TIniSection* times) {
  int64_t highest = 0;
  for (const TIniSection* section : model.Sections())
    highest = std::max(highest, NumberAfter(section->Name(), "Slide"));
  if (times)
    for (size_t i = 0; i < times->Count(); ++i)
      highest = std::max(highest, NumberAfter(times->Item(i)->Name(), "opt_synchpos"));
  return highest;
}

}  // namespace

bool IsScreenSaverProgram(std::string_view programPath) {
  const size_t slash = programPath.find_last_of("/\\");
  const std::string_view name =
      slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension(name.substr(dot));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".scr";
}

std::string FileTitleOf(std::string_view path) {
  const size_t folder = path.find_last_of("\\/:");
  std::string_view name = folder == std::string_view::npos ? path : path.substr(folder + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

TVyrSource::TVyrSource(TRef<TIniFile> model, const TVyrSourceOptions& options)
    : model_(std::move(model)), screenSaver_(options.screenSaver) {
  VYR_ASSERT(model_);
  ApplyScreenSaverOverrides();
  ReadSettings();

  const TIniSection* times = FindSection(model_.Get(), "Times");
  int64_t count = std::max(ReadInt(FindKey(times, "opt_slidescount"), 0), 0);
  const int64_t described = HighestDescribedSlide(*model_, times);
  if (count > described) {
    WriteLine("Slide count " + std::to_string(count) + " cut to the " + std::to_string(described) +
              " slides the project describes");
    count = described;
  }
  const int n = static_cast<int>(count);

  effects_ = MakeRef<TVYREffectManager>(model_, n, 0, 0, options.effectChoice);
  std::vector<int32_t> ends(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) ends[i] = ReadInt(FindKeyNumbered(times, "opt_synchpos", i + 1), 0);
  table_ = TSlideTable(ends, [this](int slide) { return TransitionLength(slide); });
  ReadSlides();
}

void TVyrSource::Dispose() {
  effects_.Reset();
  model_.Reset();
}

void TVyrSource::ApplyScreenSaverOverrides() {
  TIniFile* model = model_.Get();
  if (!screenSaver_) {
    WriteInt(model, "Main", "opt_ssaver", 0);
    return;
  }
  WriteInt(model, "Main", "opt_ssaver", 1);
  WriteInt(model, "Main", "opt_fcp", 0);
  WriteInt(model, "Main", "opt_hidecursor", 1);
  WriteInt(model, "Main", "opt_scr_full", 1);
  WriteText(model, "Main", "opt_repeat", "repeat");
}

void TVyrSource::ReadSettings() {
  const TIniSection* main = FindSection(model_.Get(), "Main");
  pauseWhenInactive_ = ReadBool(FindKey(main, "opt_pausewheninactive"), true);
  repeatMode_ =
      static_cast<TRepeatMode>(ReadEnum(FindKey(main, "opt_repeat"), kRepeatNames, 0, true));
  hiderColor_ = ReadInt(FindKey(main, "opt_scr_hidercolor"), 0);
  unsharpAmount_ = ReadFloat(FindKey(main, "opt_scr_unsharpamount"), 0);
  manualShow_ = ReadBool(FindKey(main, "opt_manualshow"), false);
}

void TVyrSource::ReadSlides() {
  slides_.resize(static_cast<size_t>(SlideCount()));
  for (int i = 0; i < SlideCount(); ++i) {
    const TIniSection* section = FindSection(model_.Get(), SlideSectionName(i));
    if (!section) continue;
    TSlideFacts& facts = slides_[i];
    facts.id = ReadText(FindKey(section, "slideid"));
    if (facts.id.empty()) facts.id = FileTitleOf(ReadText(FindKey(section, "Picture")));
    facts.endAction = ReadEnum(FindKey(section, "Pers_EndAction"), kEndActionNames, -1, true);
    if (ReadBool(FindKey(section, "Pers_RunApp"), false)) {
      facts.runApp.command = ReadText(FindKey(section, "RunAppFN"));
      facts.runApp.run = !facts.runApp.command.empty();
    }
  }
}

std::array<uint8_t, 4> TVyrSource::HiderColorBytes() const {
  const auto value = static_cast<uint32_t>(hiderColor_);
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

uint32_t TVyrSource::BackgroundRgb() const {
  const auto bytes = HiderColorBytes();
  return static_cast<uint32_t>(bytes[0]) << 16 | static_cast<uint32_t>(bytes[1]) << 8 | bytes[2];
}

int TVyrSource::WrapSlide(int slide) const {
  if (slide < 0 || SlideCount() == 0) return -1;
  return slide % SlideCount();
}

TEndAction TVyrSource::EndAction(int slide) const {
  const int index = WrapSlide(slide);
  if (index < 0) return {};
  switch (slides_[index].endAction) {
    case 0:
      return {TEndActionKind::Pause, 0};
    case 1: {
      const TSlideTiming& record = table_.Record(index);
      return {TEndActionKind::Loop, record.end - record.start - record.in};
    }
    default:
      return {manualShow_ ? TEndActionKind::Pause : TEndActionKind::None, 0};
  }
}

TRunApp TVyrSource::RunApp(int slide) const {
  const int index = WrapSlide(slide);
  return index < 0 ? TRunApp{} : slides_[index].runApp;
}

TVyrActionInfo TVyrSource::RunAppAction(int slide) const {
  TRunApp app = RunApp(slide);
  if (!app.run) return {};
  return {TVyrActionKind::RunApp, 0, std::move(app.command)};
}

std::string TVyrSource::SlideId(int slide) const {
  const int index = WrapSlide(slide);
  return index < 0 ? std::string() : slides_[index].id;
}

double TVyrSource::TransitionLength(int slide) const {
  const int n = effects_->SlideCount();
  if (slide >= n && (!Repeats() || n == 0)) return 0;
  return effects_->Duration(slide);
}

}  // namespace vyr
