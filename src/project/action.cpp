#include "project/action.h"

#include <charconv>

namespace vyr {

namespace {

struct TPlainForm {
  std::string_view text;
  TVyrActionKind kind;
  int32_t parameter;
};

constexpr TPlainForm kPlainForms[] = {
    {"exit", TVyrActionKind::Exit, 0},
    {"nextslide", TVyrActionKind::NextSlide, 0},
    {"prevslide", TVyrActionKind::PrevSlide, 0},
    {"help", TVyrActionKind::Help, 0},
    {"gotofirstslide", TVyrActionKind::GotoSlide, 0},
    {"pause", TVyrActionKind::Pause, 0},
    {"print", TVyrActionKind::Print, 0},
    {"stop", TVyrActionKind::Stop, 0},
    {"closedialog", TVyrActionKind::CloseDialog, 0},
    {"saveslide", TVyrActionKind::SaveSlide, 0},
    {"changeprinter", TVyrActionKind::ChangePrinter, 0},
};

struct TArgumentForm {
  std::string_view prefix;
  TVyrActionKind kind;
  bool quoted;  // the argument sits in double quotes
};

// In matching order: the first prefix that matches decides.
constexpr TArgumentForm kArgumentForms[] = {
    {"gotoslide(", TVyrActionKind::GotoSlide, false},
    {"openwebsite(", TVyrActionKind::OpenWebsite, true},
    {"writeemail(", TVyrActionKind::WriteEmail, true},
    {"runapp(", TVyrActionKind::RunApp, true},
    {"runappandexit(", TVyrActionKind::RunAppAndExit, true},
    {"runpresentation(", TVyrActionKind::RunPresentation, true},
    {"runpresentationandreturn(", TVyrActionKind::RunPresentationAndReturn, true},
    {"opendialog(", TVyrActionKind::OpenDialog, true},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool StartsWithLower(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i)
    if (LowerAscii(text[i]) != lowerPrefix[i]) return false;
  return true;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The text after its first `dropFront` and before its last `dropBack` characters (code
// points), empty when nothing is left. The dropped characters are not checked.
std::string_view Cut(std::string_view text, int dropFront, int dropBack) {
  size_t first = 0;
  for (int i = 0; i < dropFront && first < text.size(); ++i) {
    ++first;
    while (first < text.size() && IsContinuationByte(text[first])) ++first;
  }
  size_t last = text.size();
  for (int i = 0; i < dropBack && last > first; ++i) {
    --last;
    while (last > first && IsContinuationByte(text[last])) --last;
  }
  return text.substr(first, last - first);
}

TVyrActionInfo GotoSlide(std::string_view argument) {
  int32_t number = 0;
  const auto [end, error] =
      std::from_chars(argument.data(), argument.data() + argument.size(), number);
  const bool isNumber =
      !argument.empty() && error == std::errc() && end == argument.data() + argument.size();
  return {TVyrActionKind::GotoSlide, isNumber ? number : -1, std::string(argument)};
}

}  // namespace

TVyrActionInfo ParseAction(std::string_view text) {
  for (const TPlainForm& form : kPlainForms)
    if (text.size() == form.text.size() && StartsWithLower(text, form.text))
      return {form.kind, form.parameter, {}};
  for (const TArgumentForm& form : kArgumentForms) {
    if (!StartsWithLower(text, form.prefix)) continue;
    const std::string_view rest = text.substr(form.prefix.size());
    if (!form.quoted) return GotoSlide(Cut(rest, 0, 1));
    return {form.kind, 0, std::string(Cut(rest, 1, 2))};
  }
  return {};
}

std::string ActionText(const TVyrActionInfo& action) {
  if (action.kind == TVyrActionKind::GotoSlide) {
    if (action.parameter == 0 && action.text.empty()) return "gotofirstslide";
    if (action.parameter == -1) return "gotoslide(" + action.text + ")";
    return "gotoslide(" + std::to_string(action.parameter) + ")";
  }
  for (const TPlainForm& form : kPlainForms)
    if (form.kind == action.kind) return std::string(form.text);
  for (const TArgumentForm& form : kArgumentForms)
    if (form.kind == action.kind) return std::string(form.prefix) + '"' + action.text + "\")";
  return {};
}

}  // namespace vyr
