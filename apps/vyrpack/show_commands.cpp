// The commands that open a whole show (package, executable or project) rather than
// reading a package's entries one by one.
#include <cstdio>
#include <string>

#include "cli_error.h"
#include "commands.h"
#include "decode_command.h"
#include "package/access/show_opener.h"
#include "project/show_info.h"
#include "project/vyr_source.h"
#include "text_command.h"

namespace vyr::pack {

namespace {

uint32_t ParseSeed(const std::string& text) {
  try {
    size_t used = 0;
    const unsigned long long value = std::stoull(text, &used, 10);
    if (used == text.size() && value <= 0xFFFFFFFFull) return static_cast<uint32_t>(value);
  } catch (const std::exception&) {
  }
  throw ECliError(kExitTrouble, "--seed takes a whole number from 0 to 4294967295");
}

TOpenedShow OpenShowOrFail(const std::string& path) {
  TOpenedShow show = OpenShow(path);
  if (!show.Ok()) throw ECliError(kExitTrouble, show.error);
  return show;
}

}  // namespace

int InfoCommand(const TArgs& args) {
  bool json = false;
  TVyrSourceOptions options;
  std::string showPath;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--seed" && i + 1 < args.size()) {
      options.effectChoice.seed = ParseSeed(args[++i]);
    } else if (showPath.empty() && !args[i].starts_with("--")) {
      showPath = args[i];
    } else {
      throw ECliError(kExitTrouble, "usage: vyrpack info [--json] [--seed N] SHOW");
    }
  }
  if (showPath.empty())
    throw ECliError(kExitTrouble, "usage: vyrpack info [--json] [--seed N] SHOW");
  const TOpenedShow show = OpenShowOrFail(showPath);
  auto source = MakeRef<TVyrSource>(show.project, options);
  const TShowInfo info = CollectShowInfo(*source);
  const std::string report = json ? ShowInfoJson(info) : ShowInfoText(info);
  std::fwrite(report.data(), 1, report.size(), stdout);
  if (!report.empty() && report.back() != '\n') std::fputc('\n', stdout);
  return 0;
}

int DecodeCommand(const TArgs& args) {
  // "PACKAGE:ENTRY" names a picture inside a show; anything else is a file on disk.
  const TStreamOpener open = [](const std::string& name) -> TRef<TStream> {
    if (auto file = TFileStream::TryOpen(name, TFileStream::Mode::Read)) return file;
    const size_t colon = name.find(':');
    if (colon == std::string::npos) return nullptr;
    const TOpenedShow show = OpenShow(name.substr(0, colon));
    return show.Ok() ? show.accessor->OpenStream(name.substr(colon + 1)) : nullptr;
  };
  return RunDecodeCommand(args, open);
}

int TextCommand(const TArgs& args) {
  // A show's vector text comes from its package entries.
  const TShowEntryOpener openShow = [](const std::string& path) -> TStreamOpener {
    TOpenedShow show = OpenShow(path);
    if (!show.Ok()) return nullptr;
    return
        [accessor = show.accessor](const std::string& name) { return accessor->OpenStream(name); };
  };
  return RunTextCommand(args, openShow);
}

}  // namespace vyr::pack
