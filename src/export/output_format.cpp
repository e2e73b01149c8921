#include "export/output_format.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace vyr::exporting {
namespace {

struct TCodecRow {
  const char* name;
  const char* encoder;
  int defaultQuality;  // about what the eye cannot tell from the player's frames
  int lowest, highest;
};

constexpr TCodecRow kCodecs[] = {
    {"h264", "libx264", 18, 0, 51},
    {"hevc", "libx265", 20, 0, 51},
    {"vp9", "libvpx-vp9", 24, 0, 63},
    {"av1", "libsvtav1", 28, 1, 63},
};

struct TContainerRow {
  const char* extension;
  const char* muxer;
  const char* audioEncoder;
  int audioRate;
  const char* codecs[2];  // the first is the default
};

constexpr TContainerRow kContainers[] = {
    {".mp4", "mp4", "aac", 44100, {"h264", "hevc"}},
    {".mkv", "matroska", "aac", 44100, {"h264", "hevc"}},
    {".webm", "webm", "libopus", 48000, {"vp9", "av1"}},
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

TOutputFormat ChooseOutputFormat(const std::string& outPath, const std::string& codec,
                                 std::optional<int> quality) {
  const std::string extension = Lower(std::filesystem::path(outPath).extension().string());
  const TContainerRow* container = nullptr;
  for (const auto& row : kContainers)
    if (extension == row.extension) container = &row;
  if (!container)
    throw std::invalid_argument("the output must end in .mp4, .mkv or .webm, not \"" + outPath +
                                "\"");
  std::string name = codec.empty() ? container->codecs[0] : Lower(codec);
  if (name == "h265") name = "hevc";
  if (name == "x264") name = "h264";
  if (name != container->codecs[0] && name != container->codecs[1])
    throw std::invalid_argument(std::string("a ") + container->extension + " file takes " +
                                container->codecs[0] + " or " + container->codecs[1] + ", not \"" +
                                codec + "\"");
  const TCodecRow* row = nullptr;
  for (const auto& candidate : kCodecs)
    if (name == candidate.name) row = &candidate;
  TOutputFormat format;
  format.muxer = container->muxer;
  format.codec = row->name;
  format.videoEncoder = row->encoder;
  format.audioEncoder = container->audioEncoder;
  format.audioRate = container->audioRate;
  format.quality = quality.value_or(row->defaultQuality);
  if (format.quality < row->lowest || format.quality > row->highest)
    throw std::invalid_argument("--quality for " + name + " runs from " +
                                std::to_string(row->lowest) + " (best) to " +
                                std::to_string(row->highest));
  format.faststart = format.muxer == "mp4";
  return format;
}

std::string OutputFormatHelp() {
  std::string text;
  for (const auto& container : kContainers) {
    text += std::string("      ") + container.extension +
            (std::strlen(container.extension) < 5 ? " " : "");
    const char* separator = " ";
    for (const char* codec : container.codecs)
      for (const auto& row : kCodecs)
        if (std::string(codec) == row.name) {
          text += std::string(separator) + row.name + " (" + row.encoder + ", " +
                  std::to_string(row.defaultQuality) + " of " + std::to_string(row.lowest) + "-" +
                  std::to_string(row.highest) + ")";
          separator = ", ";
        }
    text += std::string("; sound ") +
            (std::string(container.audioEncoder) == "aac" ? "AAC" : "Opus at 48 kHz") + "\n";
  }
  return text;
}

}  // namespace vyr::exporting
