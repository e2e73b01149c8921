#include "scene/objects/vyr_dialog.h"

namespace vyr {

void TVyrDialog::Draw(TDeviceDrawer& drawer) {
  CommitState(false);
  for (int i = 0; i < ChildCount(); ++i) drawer.DrawItem(*Child(i));
}

}  // namespace vyr
