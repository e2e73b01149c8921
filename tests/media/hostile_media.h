#pragma once
// Media files that ask the demuxer for more than their own bytes: playlists and
// concatenation scripts naming a web address or a local file, and the local file itself (red
// frames with a loud 1 kHz tone), made with Debian's ffmpeg.

#include <cstdlib>
#include <string>
#include <vector>

namespace vyr::test {

inline std::string HlsPlaylist(const std::vector<std::string>& segments) {
  std::string text =
      "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:4\n#EXT-X-MEDIA-SEQUENCE:0\n";
  for (const std::string& segment : segments) text += "#EXTINF:4.0,\n" + segment + "\n";
  return text + "#EXT-X-ENDLIST\n";
}

inline std::string ConcatScript(const std::vector<std::string>& files) {
  std::string text = "ffconcat version 1.0\n";
  for (const std::string& file : files) text += "file '" + file + "'\n";
  return text;
}

// Four seconds of red 160 x 96 frames at 25 fps with a 1 kHz tone, as an MPEG transport stream.
inline bool MakeRedToneStream(const std::string& path) {
  const std::string command =
      "ffmpeg -nostdin -v error -y -f lavfi -i color=c=red:s=160x96:r=25:d=4 "
      "-f lavfi -i sine=frequency=1000:sample_rate=44100:duration=4 "
      "-c:v mpeg2video -q:v 2 -c:a mp2 -b:a 192k -f mpegts '" +
      path + "'";
  return std::system(command.c_str()) == 0;
}

// True when the pixel is the red of that stream.
inline bool IsRed(int r, int g, int b) { return r > 180 && g < 90 && b < 90; }

}  // namespace vyr::test
