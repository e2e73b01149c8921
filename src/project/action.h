#pragma once
// Actions: everything a viewer can ask a show for. Project texts ("Action" keys of objects
// and buttons, navigation-bar buttons) name them; keys and mouse buttons produce them.

#include <cstdint>
#include <string>
#include <string_view>

namespace vyr {

enum class TVyrActionKind : uint8_t {
  None = 0,
  Exit = 1,
  PrevSlide = 2,
  NextSlide = 3,
  Help = 4,
  Pause = 5,
  Print = 6,
  GotoSlide = 7,  // parameter: slide number (1-based, 0 = first); -1: text is a slide id
  OpenWebsite = 8,
  WriteEmail = 9,
  RunApp = 10,
  RunAppAndExit = 11,
  RunPresentation = 12,  // text: the show file, optionally followed by options
  Stop = 13,
  RunPresentationAndReturn = 14,
  OpenDialog = 15,
  CloseDialog = 16,  // with no dialog open: exit with process exit code 1
  SaveSlide = 17,
  ChangePrinter = 18,
  Seek = 19,          // no text form; parameter: show time in ms, pause state kept
  PanelHandled = 20,  // no text form; the navigation panel took the pointer event
};

struct TVyrActionInfo {
  TVyrActionKind kind = TVyrActionKind::None;
  int32_t parameter = 0;
  std::string text;

  bool Empty() const { return kind == TVyrActionKind::None; }
  bool operator==(const TVyrActionInfo&) const = default;
};

// The record a project text names; the empty record when it names none. Forms are matched
// without regard to ASCII case; arguments keep the case they were written in.
TVyrActionInfo ParseAction(std::string_view text);

// The text form of an action ("gotoslide(3)", "runapp(\"x\")"); empty for kinds without one.
std::string ActionText(const TVyrActionInfo& action);

}  // namespace vyr
