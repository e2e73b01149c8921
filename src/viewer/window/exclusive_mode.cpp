#include "viewer/window/exclusive_mode.h"

#include "platform/desktop_composition.h"
#include "project/ini/values.h"
#include "render/device/gl_engine.h"

namespace vyr {

bool ExclusiveModeAllowed(const TIniFile* project, bool composited) {
  return !composited && !ReadBool(project, "Main", "opt_scr_noexclusive", false);
}

void ApplyExclusiveModeHook(const TIniFile* project) {
  Engine3D().SetExclusiveAllowed(ExclusiveModeAllowed(project, DesktopComposited()));
}

}  // namespace vyr
