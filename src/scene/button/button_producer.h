#pragma once
// The button pictures of one theme, and the host's list of producers by theme name.

#include <mutex>
#include <string>
#include <vector>

#include "imaging/bitmap/bitmap_store.h"
#include "scene/button/button_compose.h"
#include "scene/button/button_name.h"
#include "scene/button/button_theme.h"

namespace vyr {

class TFileAccessor;

// The theme file of a theme: theme folder + theme + "\" + "btn.ini".
std::string ButtonThemeFile(const std::string& themeFolder, const std::string& theme);

class TButtonProducer : public TRefObject {
 public:
  TButtonProducer(std::string theme, std::string themeFolder, TButtonGoOn goOn = {})
      : theme_(std::move(theme)), themeFolder_(std::move(themeFolder)), goOn_(std::move(goOn)) {}

  const std::string& ThemeName() const { return theme_; }
  // Reads the theme file; false (and nothing changed) when it does not open.
  bool Load(TFileAccessor& files);
  bool Loaded() const;
  TButtonTheme Theme() const;

  // The picture of a state, width and colour shift, a store named by the button picture name;
  // "Incorrect Image: " and the piece's file name when a piece is missing or of the wrong
  // size; none while no theme was loaded.
  TRef<TImage> Picture(TFileAccessor& files, const TButtonPictureRequest& request);

 private:
  std::string PiecePath(const std::string& fileName) const;

  const std::string theme_;
  const std::string themeFolder_;
  TButtonGoOn goOn_;
  mutable std::mutex lock_;
  TButtonTheme data_;
  bool loaded_ = false;
};

// The producers of one show, found by theme name (ignoring case).
class TButtonProducerHost {
 public:
  TButtonProducerHost(std::string themeFolder, TButtonGoOn goOn = {})
      : themeFolder_(std::move(themeFolder)), goOn_(std::move(goOn)) {}

  const std::string& ThemeFolder() const { return themeFolder_; }
  TRef<TButtonProducer> Find(const std::string& theme) const;
  // The producer of the theme, made and kept when there is none yet.
  TRef<TButtonProducer> Obtain(const std::string& theme);

  // A button's theme loading: the theme file, else that of "aqua"; the producer of the theme
  // that opened has read it. None (theme unchanged) when neither opens.
  TRef<TButtonProducer> LoadTheme(TFileAccessor& files, std::string& theme);

 private:
  const std::string themeFolder_;
  TButtonGoOn goOn_;
  mutable std::mutex lock_;
  std::vector<TRef<TButtonProducer>> producers_;
};

// The host's answer to a reserved "Button: " name: none when the name is not one or its
// theme was never loaded.
TRef<TImage> ProduceButtonPicture(const std::string& name, TButtonProducerHost& host,
                                  TFileAccessor& files);

}  // namespace vyr
