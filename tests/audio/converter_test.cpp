#include <gtest/gtest.h>

#include <cmath>

#include "audio/decode/converter_factory.h"
#include "audio/decode/decoder_library.h"
#include "audio/decode/pcm_resampler.h"
#include "sound_fixtures.h"

namespace vyr {
namespace {

using test::DecodeAll;
using test::RunTool;
using test::ToneAmplitude;

class ConverterFiles : public ::testing::Test {
 protected:
  std::string Wav(const std::string& name, const TWaveFormat& f, const std::vector<uint8_t>& d) {
    const std::string path = dir / name;
    test::WriteFileBytes(path, test::MakeWav(f, d));
    return path;
  }
  std::string Ffmpeg(const std::string& name, const std::string& input, const std::string& codec) {
    const std::string path = dir / name;
    EXPECT_TRUE(RunTool("ffmpeg -y -v error " + input + " " + codec + " '" + path + "'"));
    return path;
  }
  test::TSoundDir dir;
};

TEST_F(ConverterFiles, Pcm16StereoIsDeliveredSampleExact) {
  const std::string path = dir / "s16.wav";
  ASSERT_TRUE(RunTool("sox -n -r 44100 -c 2 -b 16 '" + path + "' synth 1.3 sine 440 sine 1000"));
  TMediaInfo info;
  auto converter = OpenSoundConverter(path, &info);
  ASSERT_TRUE(converter);
  EXPECT_EQ(converter->OutputFormat(), MixingFormat());
  const auto expected = test::FfmpegS16(path, 2, 44100);
  ASSERT_FALSE(expected.empty());
  auto decoded = DecodeAll(*converter, 1 << 24);
  ASSERT_GE(decoded.size(), expected.size());
  decoded.resize(expected.size());
  EXPECT_EQ(decoded, expected);
}

TEST_F(ConverterFiles, SmallPcmKeepsItsOwnFormat) {
  std::vector<int16_t> values;
  for (int i = 0; i < 2205; ++i) values.push_back(static_cast<int16_t>(i * 13 - 14000));
  const TWaveFormat format = MakePcmFormat(1, 22050, 16);
  auto converter = OpenSoundConverter(Wav("m.wav", format, test::Samples16(values)));
  ASSERT_TRUE(converter);
  EXPECT_EQ(converter->OutputFormat(), format);
  ASSERT_TRUE(converter->Fill(4410));
  EXPECT_EQ(test::AsSamples16(converter->Output().Data(), 4410), values);
  EXPECT_NEAR(converter->Position(), 100, 1e-9);
  converter->Output().Consume(4410);
  EXPECT_FALSE(converter->Fill(100));
}

TEST_F(ConverterFiles, WideAndFloatSamplesBecomeTheMixingFormat) {
  // 24-bit stereo: value >> 8, one frame later (the interpolator starts from silence).
  std::vector<uint8_t> data24;
  std::vector<int32_t> left = {-8388608, -300000, -257, 255, 8388607, 1234567};
  for (int32_t v : left) {
    test::PutLe(data24, static_cast<uint32_t>(v) & 0xFFFFFF, 3);
    test::PutLe(data24, static_cast<uint32_t>(-v / 2) & 0xFFFFFF, 3);
  }
  auto c24 = OpenSoundConverter(Wav("s24.wav", MakePcmFormat(2, 44100, 24), data24));
  ASSERT_TRUE(c24);
  EXPECT_EQ(c24->OutputFormat(), MixingFormat());
  ASSERT_TRUE(c24->Fill(24));
  const auto out24 = test::AsSamples16(c24->Output().Data(), 24);
  EXPECT_EQ(out24[0], 0);
  for (size_t j = 1; j < left.size(); ++j) {
    EXPECT_EQ(out24[j * 2], left[j - 1] >> 8) << j;
    EXPECT_EQ(out24[j * 2 + 1], (-left[j - 1] / 2) >> 8) << j;
  }

  // 32-bit float mono: round(v * 32767) on both channels.
  std::vector<float> floats = {0.5f, -1.0f, 0.25f, 1.0f, -0.000001f};
  std::vector<uint8_t> dataF(floats.size() * 4);
  std::memcpy(dataF.data(), floats.data(), dataF.size());
  TWaveFormat f = MakePcmFormat(1, 44100, 32);
  f.formatTag = kWaveFormatFloat;
  auto cf = OpenSoundConverter(Wav("f32.wav", f, dataF));
  ASSERT_TRUE(cf);
  ASSERT_TRUE(cf->Fill(20));
  const auto outF = test::AsSamples16(cf->Output().Data(), 20);
  for (size_t j = 1; j < floats.size(); ++j) {
    EXPECT_EQ(outF[j * 2], std::lround(floats[j - 1] * 32767.0));
    EXPECT_EQ(outF[j * 2 + 1], outF[j * 2]);
  }
}

TEST_F(ConverterFiles, EightBitSourceAndTheEndOfData) {
  // 8-bit to 16-bit mono at the same rate: (v - 128) * 256.
  const std::vector<uint8_t> data = {128, 0, 255, 64, 200};
  auto converter = OpenSoundConverter(Wav("u8.wav", MakePcmFormat(1, 8000, 8), data));
  ASSERT_TRUE(converter);
  converter->SetOutputFormat(MakePcmFormat(1, 8000, 16));
  ASSERT_TRUE(converter->Fill(100));  // partial data: the rest is silence, still true
  const auto out = test::AsSamples16(converter->Output().Data(), 10);
  const std::vector<int16_t> expected = {0, 0, -32768, 32512, -16384};
  EXPECT_EQ(out, expected);
  converter->Output().Consume(100);
  EXPECT_FALSE(converter->Fill(100));

  // 8-bit output pads with 128.
  auto raw = OpenSoundConverter(Wav("u8b.wav", MakePcmFormat(1, 8000, 8), data));
  ASSERT_TRUE(raw->Fill(8));
  EXPECT_EQ(raw->Output().Data()[7], 128);
}

TEST(PcmResampler, QuadraticInterpolationOfARampIsExact) {
  // A straight line is reproduced exactly; output is one input frame late.
  TPcmResampler up(MakePcmFormat(1, 22050, 16), MakePcmFormat(1, 44100, 16));
  std::vector<int16_t> ramp;
  for (int i = 0; i < 100; ++i) ramp.push_back(static_cast<int16_t>(1000 + 100 * i));
  const auto in = test::Samples16(ramp);
  ASSERT_EQ(up.OutputSize(in.size()), 400u);
  std::vector<uint8_t> out(400);
  ASSERT_EQ(up.Convert(in.data(), in.size(), out.data()), 400u);
  const auto values = test::AsSamples16(out.data(), out.size());
  // Output j sits at input position j / 2 - 1.
  for (int j = 4; j < 200; ++j) EXPECT_EQ(values[j], 1000 + 50 * (j - 2)) << j;

  // Stereo to mono halves the sum toward zero.
  TPcmResampler mono(MakePcmFormat(2, 44100, 16), MakePcmFormat(1, 22050, 16));
  const auto pair = test::Samples16({-3, 0, -3, 0, -3, 0, -3, 0});
  std::vector<uint8_t> m(mono.OutputSize(pair.size()));
  mono.Convert(pair.data(), pair.size(), m.data());
  EXPECT_EQ(test::AsSamples16(m.data(), m.size()).back(), -1);
}

TEST(PcmResampler, PiecesGiveTheSameOutputAsOneBlock) {
  const TWaveFormat in = MakePcmFormat(2, 48000, 16), out = MixingFormat();
  std::vector<int16_t> s;
  for (int i = 0; i < 48000 * 2; ++i) s.push_back(static_cast<int16_t>(20000 * std::sin(i * 0.01)));
  const auto bytes = test::Samples16(s);
  TPcmResampler whole(in, out);
  std::vector<uint8_t> a(whole.OutputSize(bytes.size()));
  whole.Convert(bytes.data(), bytes.size(), a.data());
  EXPECT_NEAR(static_cast<double>(a.size()), 44100.0 * 4, 4);

  TPcmResampler pieces(in, out);
  std::vector<uint8_t> b;
  size_t at = 0;
  for (size_t piece = 4; at < bytes.size(); piece = (piece * 3 % 9973 + 4) / 4 * 4) {
    const size_t n = std::min(piece, bytes.size() - at);
    std::vector<uint8_t> part(pieces.OutputSize(n));
    EXPECT_EQ(pieces.Convert(bytes.data() + at, n, part.data()), part.size());
    b.insert(b.end(), part.begin(), part.end());
    at += n;
  }
  // The fractional position is carried in floating point: pieces may round one step
  // differently, never more.
  ASSERT_NEAR(static_cast<double>(a.size()), static_cast<double>(b.size()), 4);
  const auto sa = test::AsSamples16(a.data(), std::min(a.size(), b.size()));
  const auto sb = test::AsSamples16(b.data(), std::min(a.size(), b.size()));
  int worst = 0;
  for (size_t i = 0; i < sa.size(); ++i) worst = std::max(worst, std::abs(sa[i] - sb[i]));
  EXPECT_LE(worst, 1);
}

TEST_F(ConverterFiles, ResampledSineKeepsItsFrequencyAndLength) {
  const std::string path = dir / "sine22.wav";
  ASSERT_TRUE(RunTool("sox -n -r 22050 -c 1 -b 16 '" + path + "' synth 2 sine 1000 vol 0.5"));
  auto converter = OpenSoundConverter(path);
  ASSERT_TRUE(converter);
  converter->SetOutputFormat(MixingFormat());
  const auto out = DecodeAll(*converter, 1 << 24, 4410 * 4);
  EXPECT_NEAR(static_cast<double>(out.size()) / 2, 88200, 4410);
  EXPECT_NEAR(converter->Position(), 2000, 100);
  EXPECT_NEAR(ToneAmplitude(out, 2, 0, 1000, 44100, 0, 88000), 0.5 * 32767, 300);
  EXPECT_LT(ToneAmplitude(out, 2, 1, 2000, 44100, 0, 88000), 100);
}

TEST_F(ConverterFiles, MsAdpcmMatchesAnIndependentDecoder) {
  const std::string path = dir / "adpcm.wav";
  ASSERT_TRUE(
      RunTool("sox -n -r 22050 -c 2 -e ms-adpcm '" + path + "' synth 1.5 sine 440 sine 660"));
  TMediaInfo info;
  auto converter = OpenSoundConverter(path, &info);
  ASSERT_TRUE(converter);
  EXPECT_EQ(info.kind, TFormatKind::Adpcm);
  converter->SetOutputFormat(MakePcmFormat(2, 22050, 16));
  const auto expected = test::FfmpegS16(path, 2, 22050);
  auto decoded = DecodeAll(*converter, expected.size() * 2, 4096);
  ASSERT_GE(decoded.size(), expected.size());
  decoded.resize(expected.size());
  EXPECT_EQ(decoded, expected);
}

TEST_F(ConverterFiles, Mp3DecodesTheToneAndSeeksWithPreRoll) {
  const std::string input =
      "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=10 -f lavfi -i "
      "sine=frequency=1000:sample_rate=44100:duration=3 -filter_complex concat=n=2:v=0:a=1 -ac 2";
  for (const std::string codec : {"-c:a libmp3lame -b:a 128k", "-c:a libmp3lame -q:a 3"}) {
    SCOPED_TRACE(codec);
    const std::string path = Ffmpeg("tones.mp3", input, codec);
    TMediaInfo info;
    auto converter = OpenSoundConverter(path, &info);
    ASSERT_TRUE(converter);
    EXPECT_NEAR(info.duration, 13000, 100);

    converter->Seek(0);
    const auto start = DecodeAll(*converter, 44100 * 4);
    // ffmpeg's sine has amplitude 4096; the mono-to-stereo upmix scales it by 1/sqrt(2).
    EXPECT_NEAR(ToneAmplitude(start, 2, 0, 440, 44100, 4410, 22050), 4096 / std::sqrt(2.0), 250);

    // The first tone ends 10 s into the file (plus the coder's delay of about 25 ms).
    converter->Seek(9500);
    EXPECT_NEAR(converter->Position(), 9500, 30);
    const auto around = DecodeAll(*converter, 44100 * 4);
    EXPECT_GT(ToneAmplitude(around, 2, 0, 440, 44100, 0, 17640), 1500);
    EXPECT_LT(ToneAmplitude(around, 2, 0, 1000, 44100, 0, 17640), 300);
    EXPECT_GT(ToneAmplitude(around, 2, 0, 1000, 44100, 26460, 17640), 1500);
    EXPECT_LT(ToneAmplitude(around, 2, 0, 440, 44100, 26460, 17640), 300);

    converter->Seek(12000);
    EXPECT_NEAR(converter->Position(), 12000, 30);
    const auto tail = DecodeAll(*converter, 1 << 24);
    EXPECT_NEAR(static_cast<double>(tail.size()) / 2 / 44.1, 1000, 120);
  }
}

TEST_F(ConverterFiles, GarbageBetweenMp3FramesIsSkipped) {
  const std::string path =
      Ffmpeg("clean.mp3", "-f lavfi -i sine=frequency=1000:sample_rate=44100:duration=3",
             "-ac 2 -c:a libmp3lame -b:a 128k -id3v2_version 0 -write_xing 0");
  auto bytes = test::ReadFileBytes(path);
  const size_t clean = bytes.size();
  std::vector<uint8_t> garbage;
  for (int i = 0; i < 3000; ++i)
    garbage.push_back(static_cast<uint8_t>("\xFF\xFFjunk\x00\x12"[i % 8]));
  bytes.insert(bytes.begin() + 417 * 50 + 100, garbage.begin(), garbage.end());
  const std::string broken = dir / "broken.mp3";
  test::WriteFileBytes(broken, bytes);
  auto converter = OpenSoundConverter(broken);
  ASSERT_TRUE(converter);
  const auto out = DecodeAll(*converter, 1 << 24, 4096);
  const double ms = static_cast<double>(out.size()) / 2 / 44.1;
  EXPECT_NEAR(ms, static_cast<double>(clean) * 8 / 128, 150);
  EXPECT_GT(ToneAmplitude(out, 2, 0, 1000, 44100, 88200, 22050), 1500);
}

TEST_F(ConverterFiles, LibraryDecodersPlayOggWmaAndSelectedStreams) {
  const std::string tone = "-f lavfi -i sine=frequency=1000:sample_rate=44100:duration=3 -ac 2";
  const std::string ogg = Ffmpeg("t.ogg", tone, "-c:a libvorbis");
  const std::string wma = Ffmpeg("t.wma", tone, "-c:a wmav2 -b:a 128k");
  const std::string mka =
      Ffmpeg("two.mka",
             "-f lavfi -i sine=frequency=440:duration=2 -f lavfi -i sine=frequency=880:duration=2",
             "-map 0 -map 1 -c:a pcm_s16le");
  ASSERT_TRUE(TDllDec::Ogg().Load("vyrogg.dll"));
  struct Case {
    std::string name;
    TFormatKind kind;
    double frequency;
  };
  const Case cases[] = {{ogg, TFormatKind::Ogg, 1000},
                        {wma, TFormatKind::MediaLibrary, 1000},
                        {mka + "?1", TFormatKind::MediaLibrary, 880}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMediaInfo info;
    auto converter = OpenSoundConverter(c.name, &info);
    ASSERT_TRUE(converter);
    EXPECT_EQ(info.kind, c.kind);
    converter->SetOutputFormat(MixingFormat());
    converter->Seek(1000);
    EXPECT_NEAR(converter->Position(), 1000, 30);
    const auto out = DecodeAll(*converter, 1 << 24);
    const double total = c.frequency == 880 ? 2000 : 3000;
    EXPECT_NEAR(static_cast<double>(out.size()) / 2 / 44.1, total - 1000, 120);
    EXPECT_GT(ToneAmplitude(out, 2, 0, c.frequency, 44100, 4410, 22050), 1500);
  }
  TDllDec::Ogg().Unload();
}

}  // namespace
}  // namespace vyr
