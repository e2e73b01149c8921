#include "project/action.h"

#include <gtest/gtest.h>

#include "project/action_input.h"

namespace vyr {
namespace {

using K = TVyrActionKind;

TEST(ParseAction, PlainFormsMatchWholeTextInAnyCase) {
  const struct {
    const char* text;
    K kind;
  } cases[] = {
      {"exit", K::Exit},
      {"PrevSlide", K::PrevSlide},
      {"NEXTSLIDE", K::NextSlide},
      {"help", K::Help},
      {"Pause", K::Pause},
      {"print", K::Print},
      {"stop", K::Stop},
      {"CloseDialog", K::CloseDialog},
      {"saveslide", K::SaveSlide},
      {"changeprinter", K::ChangePrinter},
      {"nextslide2", K::None},
      {"nextslide ", K::None},
      {" exit", K::None},
      {"next", K::None},
      {"", K::None},
      {"gotoslide", K::None},
      {"runapp", K::None},
  };
  for (const auto& c : cases) {
    const TVyrActionInfo action = ParseAction(c.text);
    EXPECT_EQ(action.kind, c.kind) << c.text;
    EXPECT_EQ(action.parameter, 0) << c.text;
    EXPECT_EQ(action.text, "") << c.text;
  }
  EXPECT_TRUE(ParseAction("nextslide2").Empty());
}

TEST(ParseAction, GotoSlideTakesANumberOrASlideId) {
  const struct {
    const char* text;
    int32_t parameter;
    const char* argument;
  } cases[] = {
      {"GotoSlide(3)", 3, "3"},
      {"gotoslide(12)", 12, "12"},
      {"gotoslide(0)", 0, "0"},
      {"gotoslide(Intro)", -1, "Intro"},
      {"GOTOSLIDE(Beach.Day)", -1, "Beach.Day"},
      {"gotoslide(3x)", -1, "3x"},
      {"gotoslide()", -1, ""},
      {"gotoslide(", -1, ""},
      // The closing character is dropped unchecked.
      {"gotoslide(7", -1, ""},
      {"gotoslide(99999999999)", -1, "99999999999"},
      {"gotoslide(Intro\u20ac", -1, "Intro"},
      {"gotofirstslide", 0, ""},
      {"GotoFirstSlide", 0, ""},
  };
  for (const auto& c : cases) {
    const TVyrActionInfo action = ParseAction(c.text);
    EXPECT_EQ(action.kind, K::GotoSlide) << c.text;
    EXPECT_EQ(action.parameter, c.parameter) << c.text;
    EXPECT_EQ(action.text, c.argument) << c.text;
  }
}

TEST(ParseAction, QuotedArgumentsKeepTheirCase) {
  const struct {
    const char* text;
    K kind;
    const char* argument;
  } cases[] = {
      {"runapp(\"notepad.exe readme.txt\")", K::RunApp, "notepad.exe readme.txt"},
      {"RunAppAndExit(\"Setup.EXE /Q\")", K::RunAppAndExit, "Setup.EXE /Q"},
      {"openwebsite(\"https://Example.org/A\")", K::OpenWebsite, "https://Example.org/A"},
      {"writeemail(\"Info@Example.org\")", K::WriteEmail, "Info@Example.org"},
      {"runpresentation(\"Second.exe\" -slide 2)", K::RunPresentation, "Second.exe\" -slide "},
      {"runpresentation(\"\"Two Words.exe\" -slide 2\")", K::RunPresentation,
       "\"Two Words.exe\" -slide 2"},
      {"runpresentationandreturn(\"b.vyshow\")", K::RunPresentationAndReturn, "b.vyshow"},
      {"OpenDialog(\"Contact\")", K::OpenDialog, "Contact"},
      // The quotes are dropped unchecked, whatever stands there.
      {"runapp(xabcyz", K::RunApp, "abc"},
      {"runapp(\"\")", K::RunApp, ""},
      {"runapp(\"", K::RunApp, ""},
      {"runapp(", K::RunApp, ""},
      // Whole characters are dropped, never parts of one.
      {"opendialog(\u00c4rger\")", K::OpenDialog, "rger"},
      {"opendialog(\"\u00c4rger\u20ac\")", K::OpenDialog, "\u00c4rger\u20ac"},
      {"opendialog(\"x\u20ac\u00c4", K::OpenDialog, "x"},
  };
  for (const auto& c : cases) {
    const TVyrActionInfo action = ParseAction(c.text);
    EXPECT_EQ(action.kind, c.kind) << c.text;
    EXPECT_EQ(action.parameter, 0) << c.text;
    EXPECT_EQ(action.text, c.argument) << c.text;
  }
}

TEST(ActionText, ParsesBackToTheSameRecord) {
  const TVyrActionInfo actions[] = {
      {K::Exit, 0, ""},
      {K::CloseDialog, 0, ""},
      {K::GotoSlide, 0, ""},
      {K::GotoSlide, 5, "5"},
      {K::GotoSlide, -1, "Intro"},
      {K::RunApp, 0, "notepad.exe readme.txt"},
      {K::RunPresentation, 0, "\"My Show.exe\" -slide 3"},
      {K::RunPresentationAndReturn, 0, "b.vyshow"},
      {K::OpenWebsite, 0, "https://example.org/(x)"},
      {K::OpenDialog, 0, "Contact"},
  };
  for (const auto& action : actions) {
    const std::string text = ActionText(action);
    EXPECT_EQ(ParseAction(text), action) << text;
  }
  EXPECT_EQ(ActionText({K::GotoSlide, 0, ""}), "gotofirstslide");
  EXPECT_EQ(ActionText({K::RunApp, 0, "a b"}), "runapp(\"a b\")");
  EXPECT_EQ(ActionText({K::Seek, 1500, ""}), "");
  EXPECT_EQ(ActionText({K::PanelHandled, 0, ""}), "");
  EXPECT_EQ(ActionText({}), "");
}

TEST(ActionInput, ValuesSharedWithTheWindowAndEngine) {
  EXPECT_EQ(kBindingShiftMask, 14);
  EXPECT_EQ(kShiftWin | kShiftShift | kShiftAlt | kShiftCtrl | kShiftLeftButton |
                kShiftRightButton | kShiftMiddleButton,
            127);
  EXPECT_EQ(static_cast<int>(TPointerButton::Right), 4);
  EXPECT_EQ(static_cast<int>(TPointerButton::Middle), 5);
  EXPECT_EQ(static_cast<int>(TPointerEventType::DoubleClick), 3);
  EXPECT_EQ(static_cast<int>(K::RunPresentationAndReturn), 14);
  EXPECT_EQ(static_cast<int>(K::PanelHandled), 20);
}

}  // namespace
}  // namespace vyr
