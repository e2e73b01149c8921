#pragma once
// What an exported video is made of: the container from the output's extension, the video
// codec by name (or the container's default), its constant quality, and the sound codec
// that goes with the container.

#include <optional>
#include <string>

namespace vyr::exporting {

struct TOutputFormat {
  std::string muxer;         // libavformat's short name: "mp4", "matroska", "webm"
  std::string codec;         // our name: "h264", "hevc", "vp9", "av1"
  std::string videoEncoder;  // libavcodec's encoder: "libx264", ...
  std::string audioEncoder;  // "aac" or "libopus"
  int audioRate = 44100;     // the sound encoder's sample rate
  int quality = 0;           // the encoder's constant-quality value (crf)
  bool faststart = false;    // the index at the front of the file
};

// Throws std::invalid_argument with a message for the user: an unknown extension, a codec
// the container cannot hold, a quality outside the codec's scale.
TOutputFormat ChooseOutputFormat(const std::string& outPath, const std::string& codec,
                                 std::optional<int> quality);

// One line per container and codec with its default quality, for --help.
std::string OutputFormatHelp();

}  // namespace vyr::exporting
