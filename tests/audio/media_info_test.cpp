#include <gtest/gtest.h>

#include <cmath>

#include "audio/decode/audio_stream.h"
#include "audio/decode/decoder_library.h"
#include "audio/decode/media_info_reader.h"
#include "audio/decode/mpeg_header.h"
#include "sound_fixtures.h"

namespace vyr {
namespace {

using test::MakeWav;
using test::RunTool;

TMediaInfo ReadInfo(const std::string& path) {
  TMediaInfo info;
  TMediaInfoExtractor::Read(OpenAudioStream(path), SoundExtension(path), info);
  return info;
}

TMediaInfo ReadInfoBytes(const std::vector<uint8_t>& bytes, const std::string& extension) {
  TMediaInfo info;
  TMediaInfoExtractor::Read(MakeRef<TMemoryStream>(bytes), extension, info);
  return info;
}

uint32_t BigEndian(const uint8_t* b) {
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

class MediaInfoFiles : public ::testing::Test {
 protected:
  test::TSoundDir dir;
};

TEST_F(MediaInfoFiles, RiffWaveFormatsMadeBySox) {
  struct Case {
    const char* name;
    const char* soxFormat;
    TFormatKind kind;
    int channels, rate, bits;
  };
  const Case cases[] = {
      {"s16.wav", "-r 44100 -c 2 -b 16", TFormatKind::Pcm, 2, 44100, 16},
      {"u8.wav", "-r 22050 -c 1 -b 8", TFormatKind::Pcm, 1, 22050, 8},
      {"s24.wav", "-t wavpcm -r 48000 -c 2 -b 24", TFormatKind::Pcm, 2, 48000, 24},
      // sox writes a WAVE_FORMAT_EXTENSIBLE header here: the media library plays it.
      {"ext24.wav", "-r 48000 -c 2 -b 24", TFormatKind::MediaLibrary, 2, 44100, 16},
      {"f32.wav", "-r 44100 -c 1 -e floating-point -b 32", TFormatKind::Float, 1, 44100, 32},
      {"adpcm.wav", "-r 22050 -c 2 -e ms-adpcm", TFormatKind::Adpcm, 2, 22050, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    ASSERT_TRUE(
        RunTool(std::string("sox -n ") + c.soxFormat + " '" + path + "' synth 1.5 sine 440"));
    const TMediaInfo info = ReadInfo(path);
    EXPECT_EQ(info.kind, c.kind);
    EXPECT_EQ(info.wave.channels, c.channels);
    EXPECT_EQ(info.wave.samplesPerSec, static_cast<uint32_t>(c.rate));
    EXPECT_EQ(info.wave.bitsPerSample, c.bits);
    if (c.kind == TFormatKind::MediaLibrary) continue;
    const auto bytes = test::ReadFileBytes(path);
    // The data chunk is the last one sox writes (with a pad byte after odd data).
    EXPECT_EQ(info.dataStart + info.dataLength + (info.dataLength & 1), bytes.size());
    EXPECT_EQ(std::string(bytes.begin() + info.dataStart - 8, bytes.begin() + info.dataStart - 4),
              "data");
    EXPECT_EQ(info.duration,
              std::lround(static_cast<double>(info.dataLength) / info.wave.avgBytesPerSec * 1000));
    if (c.kind == TFormatKind::Adpcm) {
      EXPECT_EQ(info.wave.extraSize, 32);
      // wSamplesPerBlock then wNumCoef = 7 and the first coefficient pair (256, 0).
      EXPECT_EQ(info.extra[2], 7);
      EXPECT_EQ(info.extra[4] | (info.extra[5] << 8), 256);
    }
  }
}

TEST(MediaInfo, FmtChunkAfterListChunkIsFound) {
  std::vector<uint8_t> list;
  test::PutId(list, "LIST");
  test::PutLe(list, 4, 4);
  test::PutId(list, "INFO");
  const auto bytes = MakeWav(MakePcmFormat(2, 44100, 16), std::vector<uint8_t>(17640, 0), list);
  const TMediaInfo info = ReadInfoBytes(bytes, ".wav");
  EXPECT_EQ(info.kind, TFormatKind::Pcm);
  EXPECT_EQ(info.dataStart, 12 + 12 + 24 + 8);
  EXPECT_EQ(info.duration, 100);
}

TEST(MediaInfo, BadRiffAndMpegInputFailCleanly) {
  const auto good = MakeWav(MakePcmFormat(2, 44100, 16), std::vector<uint8_t>(4000, 1));
  auto withHugeChunk = [] {
    std::vector<uint8_t> junk;
    test::PutId(junk, "junk");
    test::PutLe(junk, 0xFFFFFFF0u, 4);
    return MakeWav(MakePcmFormat(2, 44100, 16), std::vector<uint8_t>(4000, 1), junk);
  };
  auto zeroField = [&](size_t offset) {
    auto b = good;
    b[offset] = b[offset + 1] = 0;
    return b;
  };
  std::vector<uint8_t> garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<uint8_t>("garbage "[i % 8]));
  std::vector<uint8_t> headerOnly = {0xFF, 0xFB, 0x90, 0x64};
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* extension;
  };
  const Case cases[] = {
      {"empty", {}, ".wav"},
      {"seven bytes", std::vector<uint8_t>(good.begin(), good.begin() + 7), ".wav"},
      {"truncated in fmt", std::vector<uint8_t>(good.begin(), good.begin() + 30), ".wav"},
      {"chunk size beyond the file", withHugeChunk(), ".wav"},
      {"zero channels", zeroField(22), ".wav"},
      {"zero sample rate", zeroField(24), ".wav"},
      {"garbage named mp3", garbage, ".mp3"},
      {"one lone mpeg header", headerOnly, ".mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TMediaInfo info = ReadInfoBytes(c.bytes, c.extension);
    EXPECT_EQ(info.kind, TFormatKind::None);
    EXPECT_EQ(info.duration, 0);
  }
}

TEST(MediaInfo, DataChunkLongerThanTheFileCountsTheBytesThere) {
  auto bytes = MakeWav(MakePcmFormat(2, 44100, 16), std::vector<uint8_t>(176400, 0));
  bytes.resize(44 + 88200);
  const TMediaInfo info = ReadInfoBytes(bytes, ".wav");
  EXPECT_EQ(info.kind, TFormatKind::Pcm);
  EXPECT_EQ(info.dataLength, 88200u);
  EXPECT_EQ(info.duration, 500);
}

TEST(MpegHeader, FrameLengthsOfEachVersionAndLayer) {
  struct Case {
    uint8_t b1, b2;
    int rate, kbps, length;
  };
  const Case cases[] = {
      {0xFB, 0x90, 44100, 128, 417},  // MPEG-1 layer III: 144 * 128000 / 44100
      {0xFB, 0x92, 44100, 128, 418},  // with padding
      {0xFD, 0xA4, 48000, 192, 576},  // MPEG-1 layer II
      {0xFF, 0x80, 44100, 256, 278},  // MPEG-1 layer I: 48 * 256000 / 44100
      {0xF3, 0x80, 22050, 64, 208},   // MPEG-2 layer III: 72 * 64000 / 22050
      {0xF5, 0x80, 22050, 64, 417},   // MPEG-2 layer II keeps 1152 samples a frame
      {0xE3, 0x80, 11025, 64, 417},   // MPEG-2.5 layer III
  };
  for (const Case& c : cases) {
    const uint8_t b[4] = {0xFF, c.b1, c.b2, 0xC4};
    TMpegHeader h;
    ASSERT_TRUE(ParseMpegHeader(b, h)) << int(c.b1);
    EXPECT_EQ(h.sampleRate, c.rate);
    EXPECT_EQ(h.bitrate, c.kbps);
    EXPECT_EQ(h.frameLength, c.length) << int(c.b1) << " " << int(c.b2);
  }
  const uint8_t invalid[][4] = {{0xFF, 0xEB, 0x90, 0}, {0xFF, 0xF9, 0x90, 0},
                                {0xFF, 0xFB, 0xF0, 0}, {0xFF, 0xFB, 0x00, 0},
                                {0xFF, 0xFB, 0x9C, 0}, {0xFF, 0xFB, 0x90, 2}};
  for (const auto& b : invalid) {
    TMpegHeader h;
    EXPECT_FALSE(ParseMpegHeader(b, h));
  }
}

TEST_F(MediaInfoFiles, CbrMp3WithId3TagsCountsOnlyTheAudio) {
  const std::string raw = dir / "raw.mp3";
  ASSERT_TRUE(
      RunTool("ffmpeg -y -v error -f lavfi -i sine=frequency=1000:sample_rate=44100:"
              "duration=5 -ac 2 -c:a libmp3lame -b:a 128k -id3v2_version 0 -write_xing 0 '" +
              raw + "'"));
  const auto audio = test::ReadFileBytes(raw);
  std::vector<uint8_t> file = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x20, 0};  // 4096 bytes of tag
  file.resize(4106, 0);
  file.insert(file.end(), audio.begin(), audio.end());
  std::vector<uint8_t> trailer(128, ' ');
  std::memcpy(trailer.data(), "TAG", 3);
  file.insert(file.end(), trailer.begin(), trailer.end());

  const TMediaInfo info = ReadInfoBytes(file, ".MP3");
  EXPECT_EQ(info.kind, TFormatKind::Mpeg);
  EXPECT_EQ(info.dataStart, 4106);
  EXPECT_EQ(info.dataLength, audio.size());
  EXPECT_EQ(info.duration, static_cast<int32_t>(audio.size() * 8 / 128));
  EXPECT_EQ(info.wave, MakePcmFormat(2, 44100, 16));
  EXPECT_EQ(info.VbrFlag(), 0);
  EXPECT_EQ(info.frameLength, 418);
  EXPECT_NEAR(info.msPerFrame, 1152 * 1000.0 / 44100, 0.2);
}

TEST_F(MediaInfoFiles, VbrMp3DurationComesFromTheXingFrameCount) {
  const std::string path = dir / "vbr.mp3";
  ASSERT_TRUE(
      RunTool("ffmpeg -y -v error -f lavfi -i sine=frequency=440:sample_rate=44100:"
              "duration=4 -ac 1 -c:a libmp3lame -q:a 4 '" +
              path + "'"));
  const auto bytes = test::ReadFileBytes(path);
  const TMediaInfo info = ReadInfo(path);
  ASSERT_EQ(info.kind, TFormatKind::Mpeg);
  // The first frame (after ffmpeg's ID3v2 tag) is mono MPEG-1: "Xing" sits 21 bytes in.
  ASSERT_EQ(std::string(bytes.begin() + info.dataStart + 21, bytes.begin() + info.dataStart + 25),
            "Xing");
  const uint32_t frames = BigEndian(bytes.data() + info.dataStart + 21 + 8);
  EXPECT_EQ(info.VbrFlag(), -1);
  EXPECT_EQ(info.wave.channels, 1);
  EXPECT_EQ(info.duration, std::lround(1152.0 * frames / 44100 * 1000));
  EXPECT_NEAR(info.duration, 4000, 80);
  EXPECT_DOUBLE_EQ(info.msPerFrame, static_cast<double>(info.duration) / frames);
}

TEST_F(MediaInfoFiles, Mpeg2LayerTwoAndMpegInRiff) {
  const std::string mp2 = dir / "lsf.mp2";
  ASSERT_TRUE(
      RunTool("ffmpeg -y -v error -f lavfi -i sine=frequency=440:sample_rate=22050:"
              "duration=3 -ac 2 -c:a mp2 -b:a 64k '" +
              mp2 + "'"));
  TMediaInfo info = ReadInfo(mp2);
  EXPECT_EQ(info.kind, TFormatKind::Mpeg);
  EXPECT_EQ(info.wave.samplesPerSec, 22050u);
  EXPECT_NEAR(info.duration, 3000, 60);

  const std::string riff = dir / "mpeg.wav";
  ASSERT_TRUE(
      RunTool("ffmpeg -y -v error -f lavfi -i sine=frequency=440:sample_rate=44100:"
              "duration=3 -ac 2 -c:a libmp3lame -b:a 128k -f wav '" +
              riff + "'"));
  info = ReadInfo(riff);
  EXPECT_EQ(info.kind, TFormatKind::Mpeg);
  EXPECT_EQ(info.mpegInRiff, 1);
  EXPECT_GT(info.dataStart, 40);
  EXPECT_NEAR(info.duration, 3000, 80);
}

TEST_F(MediaInfoFiles, OggAndWmaGoToTheirLibrariesWhenLoadedElseToTheMediaLibrary) {
  const std::string ogg = dir / "tone.ogg";
  const std::string wma = dir / "tone.wma";
  ASSERT_TRUE(
      RunTool("ffmpeg -y -v error -f lavfi -i sine=frequency=440:sample_rate=44100:"
              "duration=2 -ac 2 -c:a libvorbis '" +
              ogg + "'"));
  ASSERT_TRUE(
      RunTool("ffmpeg -y -v error -f lavfi -i sine=frequency=440:sample_rate=22050:"
              "duration=2 -ac 1 -c:a wmav2 '" +
              wma + "'"));
  TDllDec::Ogg().Unload();
  TDllDec::Wma().Unload();
  EXPECT_FALSE(TDllDec::Ogg().Load(""));
  for (const std::string& path : {ogg, wma}) {
    const TMediaInfo info = ReadInfo(path);
    EXPECT_EQ(info.kind, TFormatKind::MediaLibrary);
    EXPECT_EQ(info.wave, MixingFormat());
    EXPECT_NEAR(info.duration, 2000, 100);
  }
  ASSERT_TRUE(TDllDec::Ogg().Load("Music/vyrogg.dll"));
  ASSERT_TRUE(TDllDec::Wma().Load("Music/vyrwma.dll"));
  TMediaInfo info = ReadInfo(ogg);
  EXPECT_EQ(info.kind, TFormatKind::Ogg);
  EXPECT_EQ(info.wave, MakePcmFormat(2, 44100, 16));
  EXPECT_NEAR(info.duration, 2000, 100);
  info = ReadInfo(wma);
  EXPECT_EQ(info.kind, TFormatKind::Wma);
  EXPECT_EQ(info.wave, MakePcmFormat(1, 22050, 16));
  TDllDec::Ogg().Unload();
  TDllDec::Wma().Unload();
}

TEST(AudioStream, NamesLoseTheirStreamNumberAndShiftStreamsMoveTheOrigin) {
  EXPECT_EQ(StripStreamNumber("a?b/clip.mkv?1"), "a?b/clip.mkv");
  EXPECT_EQ(StreamNumberOf("clip.mkv?1"), 1);
  EXPECT_EQ(StreamNumberOf("clip.mkv?x"), 0);
  EXPECT_EQ(SoundExtension("dir.v2/Song.Mp3?2"), ".Mp3");
  EXPECT_EQ(SoundExtension("dir.v2/song"), "");

  std::vector<uint8_t> bytes(100);
  for (int i = 0; i < 100; ++i) bytes[i] = static_cast<uint8_t>(i);
  auto shifted = MakeRef<TShiftStream>(MakeRef<TMemoryStream>(bytes), 40);
  EXPECT_EQ(shifted->Size(), 60);
  EXPECT_EQ(shifted->Position(), 0);
  EXPECT_EQ(shifted->Seek(10), 10);
  uint8_t b = 0;
  shifted->ReadBuffer(&b, 1);
  EXPECT_EQ(b, 50);
  EXPECT_THROW(shifted->Write(&b, 1), EAssertionFailed);
}

}  // namespace
}  // namespace vyr
