#include "scene/button/button_producer.h"

#include "foundation/case_fold.h"
#include "imaging/text/text_description.h"
#include "imaging/text/text_picture.h"
#include "package/access/file_accessor.h"
#include "project/ini/ini.h"
#include "scene/button/piece_cache.h"

namespace vyr {

namespace {

constexpr const char* kFallbackTheme = "aqua";

// "Incorrect Image: " + the piece's file name in the default font.
TRef<TImage> IncorrectImagePicture(const std::string& fileName) {
  return OpenTextPicture(FormatTextDescription(TTextParams{}, {"Incorrect Image: " + fileName}),
                         {});
}

}  // namespace

std::string ButtonThemeFile(const std::string& themeFolder, const std::string& theme) {
  return themeFolder + theme + "\\btn.ini";
}

bool TButtonProducer::Load(TFileAccessor& files) {
  TRef<TStream> stream = files.OpenStream(ButtonThemeFile(themeFolder_, theme_));
  if (!stream) return false;
  auto file = MakeRef<TIniFile>();
  if (!file->LoadFromStream(*stream)) return false;
  TButtonTheme theme = ReadButtonTheme(*file);
  std::lock_guard guard(lock_);
  data_ = std::move(theme);
  loaded_ = true;
  return true;
}

bool TButtonProducer::Loaded() const {
  std::lock_guard guard(lock_);
  return loaded_;
}

TButtonTheme TButtonProducer::Theme() const {
  std::lock_guard guard(lock_);
  return data_;
}

std::string TButtonProducer::PiecePath(const std::string& fileName) const {
  return themeFolder_ + theme_ + "\\" + fileName;
}

TRef<TImage> TButtonProducer::Picture(TFileAccessor& files, const TButtonPictureRequest& request) {
  if (!Loaded()) return nullptr;
  const TButtonTheme theme = Theme();
  TButtonComposition composed = ComposeButton(
      theme, request.state, request.width,
      [this, &files](const std::string& fileName) {
        return OpenButtonPiece(files, PiecePath(fileName));
      },
      goOn_);
  if (!composed.bitmap) return IncorrectImagePicture(composed.badPiece);
  ShiftButtonColours(*composed.bitmap, request.hue, request.saturation, request.lightness, goOn_);
  auto store =
      MakeRef<TWrapperBitmapStore>(ButtonPictureName(request), nullptr, std::move(composed.bitmap));
  return MakeRef<TImage>(std::move(store));
}

TRef<TButtonProducer> TButtonProducerHost::Find(const std::string& theme) const {
  std::lock_guard guard(lock_);
  for (const auto& producer : producers_)
    if (SameName(producer->ThemeName(), theme)) return producer;
  return nullptr;
}

TRef<TButtonProducer> TButtonProducerHost::Obtain(const std::string& theme) {
  std::lock_guard guard(lock_);
  for (const auto& producer : producers_)
    if (SameName(producer->ThemeName(), theme)) return producer;
  producers_.push_back(MakeRef<TButtonProducer>(theme, themeFolder_, goOn_));
  return producers_.back();
}

TRef<TButtonProducer> TButtonProducerHost::LoadTheme(TFileAccessor& files, std::string& theme) {
  for (const std::string& name : {theme, std::string(kFallbackTheme)}) {
    TRef<TButtonProducer> producer = Obtain(name);
    if (producer->Load(files)) {
      theme = name;
      return producer;
    }
  }
  return nullptr;
}

TRef<TImage> ProduceButtonPicture(const std::string& name, TButtonProducerHost& host,
                                  TFileAccessor& files) {
  if (!IsButtonPictureName(name)) return nullptr;
  const TButtonPictureRequest request = ParseButtonPictureName(name);
  TRef<TButtonProducer> producer = host.Find(request.theme);
  return producer ? producer->Picture(files, request) : nullptr;
}

}  // namespace vyr
