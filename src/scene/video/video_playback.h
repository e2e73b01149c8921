#pragma once
// The clip behind a video object. The scene only knows this interface; the video library
// makes the real one (frame source, extractor thread, shared clips) and installs its
// factory at start-up. Without a factory video objects draw nothing.

#include <functional>
#include <string>

#include "foundation/ref_object.h"
#include "scene/filters/colour_lut.h"

namespace vyr {

class TDeviceDrawer;
class TIniFile;
class TVideoPicture;
class TVyrSlideHost;

enum class TDeinterlace : uint8_t { Auto = 0, Wave, BobEven, BobOdd };

struct TVideoKeys {
  std::string clipGuid;  // empty when the project has no such clip in [Tracks]
  bool mute = false;
  float startVyrTime = 0;
  float fpsMultiplier = 1;
  bool loadFromDisk = false;
  std::string fileName;  // the file keys apply only without a clip
  float duration = 0;
  float startVideoTime = 0;
  bool antialiasedBorder = true;
  TDeinterlace deinterlace = TDeinterlace::Auto;
  bool waitForConvert = false;
  bool chromaEnable = false;
  float chromaKey[3] = {0, 0, 0};
  float chromaDelta = 0;
};

// What the frame source says about its frames.
struct TVideoSourceInfo {
  int width = 0, height = 0;
  int aspectCode = 0;  // 0 as stored, 1 4:3, 2 16:9
  bool interlaced = false;
  bool topFieldFirst = false;
  double fps = 0;
  int frameCount = 0;
  bool rgba = false;
};

// A frame lent for drawing: it stays out of the pool until given back.
struct TVideoLend {
  TVideoPicture* picture = nullptr;
  int requested = -2;
  int decoded = -2;
};

enum class TVideoState : uint8_t { Opened = 0, LoadError = 1, NotFound = 2 };

// The clip's place on the slide: the object's appearance (DeltaTime1) and the slide's start
// on the show's time line, both in ms.
struct TVideoTimes {
  double appearance = 0;
  double slideStart = 0;
};

class TVideoPlayback : public TRefObject {
 public:
  virtual TVideoState State() const = 0;
  // The clip's file as the project names it.
  virtual const std::string& FileName() const = 0;
  // False without a frame source.
  virtual bool Info(TVideoSourceInfo& info) const = 0;
  // Position in the clip (ms) at slide-relative time x.
  virtual double ClipTime(double x, const TVideoTimes& times) const = 0;
  virtual void AddPictures(TDeviceDrawer& drawer) = 0;
  virtual void Prefetch(bool wait, double clipMs) = 0;
  virtual void Request(bool wait, double clipMs) = 0;
  // Counts one lend; false when nothing could be lent.
  virtual bool Lend(double rate, double clipMs, TVideoLend& lend) = 0;
  virtual void GiveBack() = 0;
  // The base colour lookup of the clip's frames (a cube of the colour-lookup form).
  virtual const TColorLut& ColourCube(bool colourManagement) = 0;
};

struct TVideoPlaybackRequest {
  const TVideoKeys* keys = nullptr;
  const TIniFile* project = nullptr;  // for [Tracks] and [Times]; may be null
  TVyrSlideHost* host = nullptr;
};

// Capture mode waits at most this long for an exact frame; a wait that runs out is logged
// and counted (the frame renderer then reports failure).
void SetVideoWaitTimeoutMs(double ms);
double VideoWaitTimeoutMs();
void NoteVideoWaitTimeout(const std::string& fileName);
int VideoWaitTimeoutCount();

using TVideoPlaybackFactory = std::function<TRef<TVideoPlayback>(const TVideoPlaybackRequest&)>;
void SetVideoPlaybackFactory(TVideoPlaybackFactory factory);
// None without a factory.
TRef<TVideoPlayback> MakeVideoPlayback(const TVideoPlaybackRequest& request);

}  // namespace vyr
