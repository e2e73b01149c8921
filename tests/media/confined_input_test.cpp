// FFmpeg reads only the bytes of the entry it is given: a clip or sound that is a playlist or
// a concatenation script opens no address and no file, and counts as a file that is missing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/decode/converter_factory.h"
#include "media/hostile_media.h"
#include "media/loopback_listener.h"
#include "package/package_fixture.h"
#include "video/frame_source_factory.h"

namespace vyr {
namespace {

TRef<TFrameSource> OpenClip(const std::string& path) {
  return MakeFrameSource(TFileStream::TryOpen(path, TFileStream::Mode::Read), path, "");
}

TEST(ConfinedMedia, PlaylistsAndScriptsOpenNothingAndCountAsMissing) {
  test::TLoopbackListener listener;
  ASSERT_TRUE(listener.Listening());
  test::TTempDir dir;
  const std::string outside = dir / "outside.ts";
  ASSERT_TRUE(test::MakeRedToneStream(outside));
  // The file they name plays by itself: a refusal below is the playlist's, not the file's.
  TRef<TFrameSource> direct = OpenClip(outside);
  ASSERT_TRUE(direct);
  EXPECT_TRUE(OpenSoundConverter(outside));
  direct.Reset();

  const std::string web = listener.Url("segment.ts");
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"web.m3u8", test::HlsPlaylist({web})},
      {"local.m3u8", test::HlsPlaylist({outside})},
      {"file.m3u8", test::HlsPlaylist({"file://" + outside})},
      {"both.m3u8", test::HlsPlaylist({web, outside})},
      {"playlist.mp4", test::HlsPlaylist({outside, web})},  // the bytes decide, not the name
      {"relative.m3u8", test::HlsPlaylist({"outside.ts"})},
      {"script.mkv", test::ConcatScript({outside})},
      {"relative.ffconcat", test::ConcatScript({"outside.ts"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    test::WriteFile(path, c.text);
    EXPECT_FALSE(OpenClip(path));
    EXPECT_FALSE(OpenSoundConverter(path));
  }
  EXPECT_EQ(listener.Connections(), 0);
}

}  // namespace
}  // namespace vyr
