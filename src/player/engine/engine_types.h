#pragma once
// The messages between the main window and the playback engine: request payloads queued on
// the engine, event records posted back on the application's event bus, and their ids.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ref_object.h"
#include "package/access/file_accessor.h"
#include "project/action.h"
#include "project/ini/model.h"

namespace vyr {

// Requests queued on the engine.
inline constexpr int32_t kRequestMouse = 11;
inline constexpr int32_t kRequestCapture = 13;
inline constexpr int32_t kRequestCloseDialog = 15;
inline constexpr int32_t kRequestHelp = 16;
inline constexpr int32_t kRequestSlideList = 101;
inline constexpr int32_t kRequestOpen = 102;
inline constexpr int32_t kRequestPause = 103;

// Events posted to the main thread.
inline constexpr int32_t kEventFirstFrame = 1;
inline constexpr int32_t kEventPosition = 2;
inline constexpr int32_t kEventAction = 12;
inline constexpr int32_t kEventPicture = 14;
inline constexpr int32_t kEventWindowMode = 17;

// The pointer left the window: x and y of the leave event.
inline constexpr int32_t kPointerOutside = 2147483647;

class TVyrEventData : public TRefObject {
 public:
  int32_t id = 0;
  std::vector<int32_t> integers;
  TRef<TRefObject> payload;
};

// An open (with a project) or a seek (without).
class TOpenParams : public TRefObject {
 public:
  bool paused = true;  // the pause state applied afterwards
  int32_t requestId = 0;
  TRef<TFileAccessor> accessor;
  TRef<TIniFile> model;
  int32_t time = 0;
};

class TModeData : public TRefObject {
 public:
  explicit TModeData(bool paused) : paused(paused) {}
  bool paused;
};

class TMouseData : public TRefObject {
 public:
  uint8_t shift = 0;
  int32_t x = 0, y = 0;
  int32_t button = 0;     // 1 left, 4 right, 5 middle
  uint8_t eventType = 0;  // 0 move, 1 down, 2 up, 3 double click
  TVyrActionInfo action;  // chosen by the input mapping; empty when none
};

class TStrValue : public TRefObject {
 public:
  explicit TStrValue(std::string value) : value(std::move(value)) {}
  std::string value;
};

// The last pointer state the engine saw, repeated every frame for the hover state.
struct TPointerState {
  uint8_t shift = 0;
  int32_t x = kPointerOutside, y = kPointerOutside;
  int32_t button = 0;
  uint8_t eventType = 0;
};

}  // namespace vyr
