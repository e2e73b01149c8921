#pragma once
// The window a show asks for: its size, caption and border, read from [Main].

#include <string>

#include "platform/thread.h"
#include "player/loader/slide_geometry.h"
#include "project/ini/model.h"

namespace vyr {

struct TShowWindowParams {
  TIntSize windowSize;
  std::string caption = "VyrShow";
  bool bordered = false;
  int fullScreenMode = 1;  // "opt_scr_full"

  // The mode reported to the main window: 0 full screen, 1 bordered, 2 borderless window.
  int WindowMode() const { return fullScreenMode == 1 ? 0 : (bordered ? 1 : 2); }
};

// screenSize is the primary screen's; a window mode ("opt_scr_full" 0 or 3) uses
// "opt_scr_width" x "opt_scr_height" instead (640 x 480 when missing).
TShowWindowParams ReadShowWindowParams(const TIniFile* project, TIntSize screenSize);

class TSlideShowParams : public TVyrThread {
 public:
  const TShowWindowParams& WindowParams() const { return params_; }

 protected:
  TSlideShowParams(const TIniFile* project, TIntSize screenSize)
      : params_(ReadShowWindowParams(project, screenSize)) {}

 private:
  TShowWindowParams params_;
};

}  // namespace vyr
