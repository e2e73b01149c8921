// vyrpack music: a show's soundtrack as the music player plays it, rendered to a WAV file.
#include <cstdio>
#include <filesystem>
#include <string>

#include "audio/player/soundtrack_render.h"
#include "cli_error.h"
#include "commands.h"
#include "package/access/show_opener.h"
#include "project/vyr_source.h"

namespace vyr::pack {

namespace {

constexpr const char* kMusicUsage =
    "usage: vyrpack music [--out FILE.wav] [--from MS] [--to MS] SHOW";

double ParseMs(const std::string& option, const std::string& text) {
  try {
    size_t used = 0;
    const long long value = std::stoll(text, &used, 10);
    if (used == text.size() && value >= 0 && value <= 2147483647LL)
      return static_cast<double>(value);
  } catch (const std::exception&) {
  }
  throw ECliError(kExitTrouble, option + " takes whole milliseconds from 0 to 2147483647");
}

// Without --out: the show's file name with ".wav", in the current folder.
std::string DefaultOutput(const std::string& showPath) {
  return std::filesystem::path(showPath).stem().string() + ".wav";
}

}  // namespace

int MusicCommand(const TArgs& args) {
  std::string showPath, outPath;
  TSoundtrackRequest request;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--out" && hasValue) {
      outPath = args[++i];
    } else if (args[i] == "--from" && hasValue) {
      request.from = ParseMs("--from", args[++i]);
    } else if (args[i] == "--to" && hasValue) {
      request.to = ParseMs("--to", args[++i]);
    } else if (showPath.empty() && !args[i].starts_with("--")) {
      showPath = args[i];
    } else {
      throw ECliError(kExitTrouble, kMusicUsage);
    }
  }
  if (showPath.empty()) throw ECliError(kExitTrouble, kMusicUsage);
  if (outPath.empty()) outPath = DefaultOutput(showPath);
  const TOpenedShow show = OpenShow(showPath);
  if (!show.Ok()) throw ECliError(kExitTrouble, show.error);
  auto source = MakeRef<TVyrSource>(show.project);
  const TSoundtrackResult result = RenderSoundtrack(source, show.accessor, outPath, request);
  if (!result.Ok()) throw ECliError(kExitTrouble, result.error);
  std::printf("%s: %.0f-%.0f ms, %llu frames\n", outPath.c_str(), result.from, result.to,
              static_cast<unsigned long long>(result.frames));
  return 0;
}

}  // namespace vyr::pack
