#pragma once
// Time arithmetic of video clips: the frame index of a clip time, the display interval of
// a frame, the clip time of a slide time, the field an interlaced frame shows and the
// pixel aspect of the aspect codes.

#include "scene/video/video_playback.h"

namespace vyr {

// round(t x fps / 1000) with halves to the even neighbour, at least 0; past the end the
// index wraps (loop) or stays on the last frame.
int FrameIndexOfTime(double ms, double fps, int frameCount, bool loop = false);

struct TInterval {
  double start = 0, end = 0;
};
// [(i - 0.5) x 1000 / fps, (i + 0.5) x 1000 / fps].
TInterval DisplayInterval(int index, double fps);

// The timing settings of a clip, in ms.
struct TClipTiming {
  double start = 0;        // S: slide-relative start
  double duration = 0;     // D
  double startInClip = 0;  // V0
  double multiplier = 1;   // m
};
// Clamps D to the clip's length (below 0 or above it: the length) and V0 (below 0 or
// above the length: 0).
void ClampToLength(TClipTiming& timing, double lengthMs);
// V0 before b = max(appearance, S), then V0 + m x min(x - S, D / m).
double ClipTimeOf(const TClipTiming& timing, double x, double appearance);

// 0 the whole frame, 1 or 2 a field, for a frame shown at clip time t whose display
// interval is given.
int FieldChoice(TDeinterlace type, const TVideoSourceInfo& info, const TInterval& interval,
                double t);

// Factor for the width: 1 for code 0, H x 4/3 / W for 1, H x 16/9 / W for 2.
double PixelAspect(int aspectCode, int width, int height);

}  // namespace vyr
