// Both navigation-bar description readers and their layout on arbitrary text: the first byte
// picks the kind and the scale, the rest is the description. Every picture is a small
// patterned one; pointer events run over the laid-out bar.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "imaging/bitmap/pixel_format.h"
#include "player/overlay/bar_pixels.h"
#include "player/overlay/nav_bar.h"
#include "player/overlay/video_nav_bar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vyr;
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  auto description = MakeRef<TIniFile>();
  description->LoadFromUtf8(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  TRef<TCustomNavBar> bar;
  if (mode & 1)
    bar = MakeRef<TVideoNavBar>();
  else
    bar = MakeRef<TNavBar>();
  bar->callbacks.loadPicture = [](TCustomNavBar&, const std::string&) -> TRef<TBitmap> {
    auto picture = MakeRef<TDirectBitmap>(24, 16, pf::A8R8G8B8());
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 24; ++x) BarRow(*picture, y)[x] = 0x80000000u | uint32_t(x * 9) << 8;
    return picture;
  };
  bar->callbacks.getDuration = [](TCustomNavBar&) { return 90000.0; };
  bar->callbacks.isPlaying = [](TCustomNavBar&) { return true; };
  bar->showBackground = (mode & 2) != 0;
  bar->hue = (mode & 4) ? 77 : 0;
  try {
    bar->LoadSkin(description, "skin/");
    bar->SetBarWidth(640);
    bar->SetBarScale(0.25 * ((mode >> 3) + 1));
    bar->SetButtons({0, 1, 2, 3, 4, 5, 6});
    bar->Refresh(45000);
    bar->ShowVolume(0.5);
    for (int i = 0; i < 4; ++i) {
      const int x = (i * 97) % 300, y = (i * 13) % 40;
      bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, y, x);
      bar->MouseEvent(0, kNavLeftHeld, kNavMove, y + 3, x + 40);
      bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, y, x);
    }
  } catch (const std::exception&) {
    // Malformed value lists raise their assertions; the panel catches them.
  }
  return 0;
}
