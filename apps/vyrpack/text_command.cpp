#include "text_command.h"

#include <cstdio>
#include <exception>

#include "imaging/bitmap/png_writer.h"
#include "imaging/text/font_vectorizer.h"
#include "imaging/text/text_picture.h"

namespace vyr {

namespace {

constexpr const char* kUsage = "usage: vyrpack text \"DESCRIPTION\" OUTPUT.png [--show SHOW]\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "vyrpack text: %s\n", message.c_str());
  return 1;
}

}  // namespace

int RunTextCommand(const std::vector<std::string>& args, const TShowEntryOpener& openShow) {
  std::vector<std::string> words;
  std::string show;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--show" && i + 1 < args.size()) {
      show = args[++i];
    } else if (args[i].rfind("--", 0) == 0) {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      words.push_back(args[i]);
    }
  }
  if (words.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string description = words[0];
  if (description.rfind(kTextPrefix, 0) != 0) description = std::string(kTextPrefix) + description;

  TStreamOpener open;
  if (!show.empty()) {
    if (openShow) open = openShow(show);
    if (!open) return Fail("cannot open show " + show);
  }
  try {
    TRef<TImage> picture = OpenTextPicture(description, open);
    std::string error;
    if (!WritePng(*picture->Bitmap(), words[1], error))
      return Fail("cannot write " + words[1] + ": " + error);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return 0;
}

}  // namespace vyr
