#pragma once
// The program's own long options, taken out of the arguments before the classic option
// table is built from the rest: --frame MS, --frames FROM:TO:STEP, --out PATH,
// --size WxH, --seed N, --no-panel, --thumbnail SIZE, --fullscreen, --window, --password-file FILE,
// --allow-run, --no-run, --help, --version, and the export's --export OUT, --fps N, --from MS, --to
// MS, --codec NAME,
// --quality Q, --panel, --quiet; "--opt value" or "--opt=value".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vyr::viewer {

struct TFrameRange {
  double from = 0, to = 0, step = 1;
};

struct TLongOptions {
  std::optional<double> frame;
  std::optional<TFrameRange> frames;
  std::optional<int> thumbnail;  // the thumbnail's longer side in pixels
  std::string out;
  int width = 0, height = 0;  // 0: the show's own size
  std::optional<uint32_t> seed;
  bool noPanel = false;            // frames without the navigation panel
  std::optional<bool> fullScreen;  // --fullscreen (true) or --window (false)
  std::string passwordFile;        // the password of a protected show, on its first line
  bool allowRun = false;           // what a show asks to start starts without a question
  bool noRun = false;              // nothing a show asks to start starts
  std::string exportPath;
  int fps = 30;
  std::optional<double> from, to;
  std::string codec;
  std::optional<int> quality;
  bool panel = false;  // exports keep the navigation panel
  bool quiet = false;
  bool frameReuse = true;  // frames and slides that did not change are not drawn again
  bool help = false;
  bool version = false;
  std::vector<std::string> rest;  // the tokens left for the option table
};

// Throws std::invalid_argument with a message for the user on a bad option or value.
TLongOptions TakeLongOptions(const std::vector<std::string>& arguments);

}  // namespace vyr::viewer
