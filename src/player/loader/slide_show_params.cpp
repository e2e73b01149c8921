#include "player/loader/slide_show_params.h"

#include "project/ini/values.h"

namespace vyr {

TShowWindowParams ReadShowWindowParams(const TIniFile* project, TIntSize screenSize) {
  TShowWindowParams params;
  params.fullScreenMode = ReadInt(project, "Main", "opt_scr_full", 1);
  params.windowSize = screenSize;
  if (params.fullScreenMode == 0 || params.fullScreenMode == 3) {
    params.windowSize = {ReadInt(project, "Main", "opt_scr_width", 640),
                         ReadInt(project, "Main", "opt_scr_height", 480)};
  }
  params.bordered =
      params.fullScreenMode == 0 && !ReadBool(project, "Main", "opt_withoutborder", true);
  const std::string projectName = ReadText(project, "Main", "projectname", "");
  if (!projectName.empty()) params.caption = projectName;
  if (params.bordered)
    params.caption = ReadText(project, "Main", "opt_scr_caption", params.caption);
  return params;
}

}  // namespace vyr
