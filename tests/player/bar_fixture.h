#pragma once
// Navigation bars on fixture skins drawn in memory: flat or patterned pictures handed to the
// bar through its load-picture callback.

#include <functional>
#include <map>
#include <string>

#include "imaging/bitmap/pixel_format.h"
#include "player/overlay/bar_pixels.h"
#include "player/overlay/custom_nav_bar.h"
#include "project/ini/ini.h"

namespace vyr::test {

inline TRef<TBitmap> PatternPicture(int width, int height,
                                    const std::function<uint32_t(int, int)>& colour) {
  auto bitmap = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) BarRow(*bitmap, y)[x] = colour(x, y);
  return bitmap;
}

inline TRef<TBitmap> FlatBarPicture(int width, int height, uint32_t argb) {
  return PatternPicture(width, height, [argb](int, int) { return argb; });
}

// A strip of cells of width x height, cell k filled with colours[k].
inline TRef<TBitmap> StripPicture(int width, int height, const std::vector<uint32_t>& colours) {
  return PatternPicture(width * static_cast<int>(colours.size()), height,
                        [&](int x, int) { return colours[static_cast<size_t>(x / width)]; });
}

inline TRef<TIniFile> Description(const std::string& text) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(text);
  return file;
}

// Wires a bar to in-memory pictures (by path) and records what it reports.
struct TBarRecorder {
  std::map<std::string, TRef<TBitmap>> pictures;
  std::vector<int> clicks;
  std::vector<double> seeks;
  std::vector<double> volumes;
  int pictureChanges = 0;
  int exitChanges = 0;
  bool playing = true;
  double duration = 60000;
  bool exitZone = false;

  void Attach(TCustomNavBar& bar, bool withExitZone = false) {
    TNavBarCallbacks& c = bar.callbacks;
    c.loadPicture = [this](TCustomNavBar&, const std::string& path) -> TRef<TBitmap> {
      auto it = pictures.find(path);
      return it == pictures.end() ? FlatBarPicture(2, 2, 0xFFFF00FF) : it->second;
    };
    c.pictureChanged = [this](TCustomNavBar&, const TRect&) { ++pictureChanges; };
    c.exitPictureChanged = [this](TCustomNavBar&, const TRect&) { ++exitChanges; };
    c.click = [this](TCustomNavBar&, int index) { clicks.push_back(index); };
    c.isPlaying = [this](TCustomNavBar&) { return playing; };
    c.getDuration = [this](TCustomNavBar&) { return duration; };
    c.seek = [this](TCustomNavBar&, double ms) { seeks.push_back(ms); };
    c.setVolume = [this](TCustomNavBar&, double v) { volumes.push_back(v); };
    if (withExitZone) c.inExitZone = [this](TCustomNavBar&) { return exitZone; };
  }
};

inline uint32_t PixelAt(const TBitmap* picture, int x, int y) { return BarRow(*picture, y)[x]; }

}  // namespace vyr::test
