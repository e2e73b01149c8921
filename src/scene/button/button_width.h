#pragma once
// The width of a themed button: its caption's width plus a margin, never narrower than the
// theme height or the theme's minimum.

namespace vyr {

// height: the theme height H; minWidth and offsetX: BtnMinWidth and BtnOffsetX (percent of
// H); captionScale: the caption's first-keyframe Scale.X (percent); aspect: the caption's
// text width divided by its height.
int ButtonWidth(int height, double minWidth, double captionScale, double aspect, double offsetX);

}  // namespace vyr
