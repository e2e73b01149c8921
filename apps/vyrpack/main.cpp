// vyrpack: create, list, print, extract and verify show packages; inspect shows and pictures.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "cli_error.h"
#include "commands.h"
#include "platform/open_file_limit.h"

namespace {

constexpr const char* kUsage =
    "Usage: vyrpack COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  create OUT PROJECT.vyr [--add ENTRY=FILE]... [--method 0|1|2] [--exe PLAYER]\n"
    "         [--short-trailer] [--allow-modify] [--allow-outside]\n"
    "      Pack Project.vyr and every file its values name. Without --method the\n"
    "      project is deflated (1) and the other entries stored (0); 2 scrambles.\n"
    "      --exe appends the package to a copy of PLAYER: a show that plays itself.\n"
    "      Files outside the project's folder (links and .. resolved) are refused\n"
    "      unless --allow-outside.\n"
    "  list [--json] PACKAGE     one row per entry: name, method, size, offset\n"
    "  cat PACKAGE ENTRY         the entry's decoded bytes on standard output\n"
    "  extract PACKAGE DIR       every entry into DIR, plus DIR/manifest.txt\n"
    "  verify PACKAGE            read every entry to its end\n"
    "  unbundle PROGRAM OUT.vyshow\n"
    "      Copy the show appended to a program (a show made on Windows, or one that\n"
    "      plays itself) into a package of its own.\n"
    "  info [--json] [--seed N] SHOW\n"
    "      The show's settings and slide table. SHOW is a package, an executable with\n"
    "      a package appended, or a project file with its loose files. --seed makes\n"
    "      the choice of default transitions reproducible.\n"
    "  decode INPUT OUTPUT.png [--level N] [--profile NAME|FILE]\n"
    "      Decode a picture as the player would (INPUT may be SHOW:ENTRY), at\n"
    "      reduction level N, optionally converted to an output profile.\n"
    "  scene [--json] [--size WxH] [--seed N] SHOW SLIDE TIME_MS\n"
    "      Build slide SLIDE (from 1) at window size WxH (default the show's size)\n"
    "      and print its objects at TIME_MS after the slide's start: class, kind,\n"
    "      visibility, opacity, blur and the corners projected into the window.\n"
    "  music [--out FILE.wav] [--from MS] [--to MS] SHOW\n"
    "      The show's soundtrack from show time FROM (default 0) to TO (default the\n"
    "      end of the show or of its music), as the player plays it, to a WAV file\n"
    "      (default SHOW's name with .wav), faster than real time.\n"
    "\n"
    "PACKAGE is a show package or any file with one appended.\n"
    "Exit status: 0 success, 1 missing or failed entries, 2 unreadable package or bad usage.\n"
    "\n"
    "  --help      show this help\n"
    "  --version   show the version\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace vyr::pack;
  vyr::RaiseOpenFileLimit();
  const TArgs all(argv + 1, argv + argc);
  if (all.empty()) {
    std::fputs(kUsage, stderr);
    return kExitTrouble;
  }
  const std::string_view command = all[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("vyrpack %s\n", VYRPACK_VERSION);
    return 0;
  }
  const TArgs args(all.begin() + 1, all.end());
  try {
    if (command == "create") return CreateCommand(args);
    if (command == "list") return ListCommand(args);
    if (command == "cat") return CatCommand(args);
    if (command == "extract") return ExtractCommand(args);
    if (command == "verify") return VerifyCommand(args);
    if (command == "unbundle") return UnbundleCommand(args);
    if (command == "info") return InfoCommand(args);
    if (command == "decode") return DecodeCommand(args);
    if (command == "text") return TextCommand(args);
    if (command == "scene") return SceneCommand(args);
    if (command == "music") return MusicCommand(args);
    throw ECliError(kExitTrouble,
                    "unknown command " + std::string(command) + " (try vyrpack --help)");
  } catch (const ECliError& error) {
    std::fprintf(stderr, "vyrpack: %s\n", error.what());
    return error.ExitCode();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vyrpack: %s\n", error.what());
    return kExitTrouble;
  }
}
