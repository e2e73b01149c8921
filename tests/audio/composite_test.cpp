#include <gtest/gtest.h>

#include "audio/decode/converter_factory.h"
#include "audio/mix/composite_converter.h"
#include "audio/mix/composite_params.h"
#include "sound_fixtures.h"

namespace vyr {
namespace {

TEST(VolumeParams, LinearFadeSeekStepAndEnd) {
  TVolumeParams fade;
  fade.AddPoint(0, 0);
  fade.AddPoint(1000, 1000);
  fade.Prepare(1000);
  fade.SeekTo(88200);
  EXPECT_DOUBLE_EQ(fade.Level(), 0.5);
  EXPECT_FALSE(fade.InUnityBand());
  for (int64_t p = 88200; p < 176400; p += 4) EXPECT_FALSE(fade.StepTo(p + 1));
  EXPECT_NEAR(fade.Level(), 1.0, 1e-9);
  EXPECT_TRUE(fade.InUnityBand());
  EXPECT_TRUE(fade.StepTo(176401));
  fade.SeekTo(176400);
  EXPECT_EQ(fade.Level(), 0);  // past the last point: silence

  TVolumeParamsList list(false);
  TVolumeParams& half = list.NewEnvelope();
  half.AddPoint(0, 500);
  TVolumeParams& ramp = list.NewEnvelope();
  ramp.AddPoint(0, 0);
  ramp.AddPoint(1000, 1000);
  list.Prepare(1000);
  list.SeekTo(88200);
  bool unity = true;
  EXPECT_DOUBLE_EQ(list.CombinedGain(unity), 0.25);
  EXPECT_FALSE(unity);
  list.SeekTo(176399);
  EXPECT_NEAR(list.CombinedGain(unity), 0.5, 1e-4);
}

TEST(VolumeParams, DeclickEnvelopeFadesEveryItemByTenMilliseconds) {
  TVolumeParamsList list(true);
  list.Prepare(1000);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_TRUE(list.Envelope(0).IsTemporary());
  list.SeekTo(0);
  list.StepTo(1);
  bool unity;
  EXPECT_NEAR(list.CombinedGain(unity), 1.0 / 441, 1e-12);
  list.SeekTo(MixingBytesAt(500));
  EXPECT_DOUBLE_EQ(list.CombinedGain(unity), 1.0);
  EXPECT_TRUE(unity);
  list.Prepare(1000);  // preparing again replaces the temporary envelope
  EXPECT_EQ(list.Count(), 1u);
}

TEST(CompositeParams, WriteReadAndMergeDescriptions) {
  TCompositeParams params;
  params.duration = 5000;
  TCompositeItem& a = params.AddItem("Music/a.mp3", 0);
  a.duration = 3000;
  a.beginTime = 250;
  TVolumeParams& fade = a.NewEnvelope();
  fade.AddPoint(0, 0);
  fade.AddPoint(2000, 800);
  params.AddItem("Music/b.wav", 2000).duration = 3000;
  params.MasterVolumes().NewEnvelope().AddPoint(0, 700);
  const std::string text = params.SaveToText();
  ASSERT_TRUE(IsCompositeDescription(text));

  TCompositeParams one;
  ASSERT_TRUE(one.LoadFromText(text));
  EXPECT_EQ(one.duration, 5000);
  ASSERT_EQ(one.ItemCount(), 2u);
  EXPECT_EQ(one.Item(0).fileName, "Music/a.mp3");
  EXPECT_EQ(one.Item(0).beginTime, 250);
  ASSERT_EQ(one.Item(0).Volumes().Count(), 1u);
  EXPECT_EQ(one.Item(0).Volumes().Envelope(0).Points()[1].volume, 800);
  EXPECT_EQ(one.Item(1).timeLine, 2000);
  ASSERT_TRUE(one.Master());
  EXPECT_EQ(one.Master()->Envelope(0).Points()[0].volume, 700);

  TCompositeParams two;
  ASSERT_TRUE(two.LoadFromText(text + text));
  EXPECT_EQ(two.duration, 10000);
  ASSERT_EQ(two.ItemCount(), 4u);
  EXPECT_EQ(two.Item(2).timeLine, 5000);
  EXPECT_EQ(two.Item(3).timeLine, 7000);

  TCompositeParams none;
  EXPECT_FALSE(none.LoadFromText(std::string(kCompositeMarker) + "[Main]\r\nDuration=100\r\n"));
  EXPECT_FALSE(none.LoadFromText(std::string(kCompositeMarker) +
                                 "[Main]\r\nDuration=0\r\n[0]\r\nFileName=x.wav\r\n"));
  ASSERT_TRUE(none.LoadFromText(std::string(kCompositeMarker) +
                                "[Main]\r\nDuration=10\r\n[0]\r\nFileName=x.wav\r\n"
                                "[1]\r\nFileName=y.wav\r\nFadeCount=1000001\r\n"
                                "[2]\r\nFileName=z.wav\r\n"));
  EXPECT_EQ(none.ItemCount(), 1u);
}

TEST(CompositeParams, VolumeParamsTextBecomesOneEnvelope) {
  struct Case {
    const char* text;
    int32_t start;
    std::vector<std::pair<int32_t, int32_t>> points;
  };
  const Case cases[] = {
      // Sample positions to ms, 16.16 volumes to per mille; the point past the end is cut.
      {"0:65536,44100:32768,88200:0", 0, {{0, 1000}, {1000, 500}, {1500, 250}}},
      // A point exactly at the end stays there and ends the curve.
      {"0:65536,66150:32768,88200:0", 0, {{0, 1000}, {1500, 500}}},
      // Times relative to the start time; a pair without ":" is skipped; equal times move on.
      {"44100:65536,bad,44100:0", 500, {{500, 1000}, {501, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TCompositeItem item;
    item.duration = 1500;
    item.ParseVolumeParams(c.text, c.start);
    ASSERT_EQ(item.Volumes().Count(), 1u);
    const auto& points = item.Volumes().Envelope(0).Points();
    ASSERT_EQ(points.size(), c.points.size());
    for (size_t i = 0; i < points.size(); ++i) {
      EXPECT_EQ(points[i].time, c.points[i].first);
      EXPECT_EQ(points[i].volume, c.points[i].second);
    }
  }
}

class CompositeMix : public ::testing::Test {
 protected:
  // A stereo 44.1 kHz file whose frame i holds value(i) on both channels.
  template <class F>
  std::string Sound(const std::string& name, int ms, F value) {
    std::vector<int16_t> s;
    for (int i = 0; i < ms * 441 / 10; ++i) {
      s.push_back(static_cast<int16_t>(value(i)));
      s.push_back(static_cast<int16_t>(value(i)));
    }
    const std::string path = dir / name;
    test::WriteFileBytes(path, test::MakeWav(MixingFormat(), test::Samples16(s)));
    return path;
  }
  std::string Dc(const std::string& name, int ms, int value) {
    return Sound(name, ms, [value](int) { return value; });
  }
  // The whole mix, left channel only.
  static std::vector<int16_t> MixLeft(const TCompositeParams& params, double seek = 0) {
    auto converter = OpenSoundConverter(params.SaveToText());
    EXPECT_TRUE(converter);
    if (!converter) return {};
    if (seek > 0) converter->Seek(seek);
    const auto all =
        test::DecodeAll(*converter, static_cast<size_t>(params.duration) * 177, 10000, true);
    std::vector<int16_t> left;
    for (size_t i = 0; i < all.size(); i += 2) left.push_back(all[i]);
    return left;
  }
  test::TSoundDir dir;
};

TEST_F(CompositeMix, ItemStartsAtItsByteThroughTheDeclickRamp) {
  TCompositeParams params;
  params.duration = 4000;
  params.AddItem(Dc("dc.wav", 1000, 30000), 3000).duration = 1000;
  const auto left = MixLeft(params);
  ASSERT_GE(left.size(), 176400u);
  const size_t first = 529200 / 4;  // 3,000 ms in bytes of the mixing format, as frames
  EXPECT_EQ(left[first - 1], 0);
  EXPECT_EQ(left[first], 68);  // 30000 / 441, the first step of the 10 ms fade-in
  EXPECT_EQ(left[first + 1], 136);
  EXPECT_EQ(left[first + 441], 30000);
  EXPECT_EQ(left[first + 22050], 30000);
}

TEST_F(CompositeMix, SumsSaturateAndMasterScales) {
  TCompositeParams loud;
  loud.duration = 1000;
  loud.AddItem(Dc("p1.wav", 1000, 30000), 0).duration = 1000;
  loud.AddItem(Dc("p2.wav", 1000, 30000), 0).duration = 1000;
  loud.AddItem(Dc("n1.wav", 1000, -5000), 0).duration = 1000;
  EXPECT_EQ(MixLeft(loud)[22050], 32767);

  TCompositeParams low;
  low.duration = 1000;
  low.AddItem(Dc("n2.wav", 1000, -30000), 0).duration = 1000;
  low.AddItem(Dc("n3.wav", 1000, -30000), 0).duration = 1000;
  EXPECT_EQ(MixLeft(low)[22050], -32768);

  low.MasterVolumes().NewEnvelope().AddPoint(0, 250);
  EXPECT_EQ(MixLeft(low)[22050], -15000);  // the accumulator is scaled before clamping
}

TEST_F(CompositeMix, CrossFadeFollowsTheEnvelopes) {
  TCompositeParams params;
  params.duration = 1800;
  TCompositeItem& a = params.AddItem(Dc("a.wav", 1000, 20000), 0);
  a.duration = 1000;
  a.NewEnvelope().AddPoint(800, 1000);
  a.Volumes().Envelope(0).AddPoint(1000, 0);
  TCompositeItem& b = params.AddItem(Dc("b.wav", 1000, 10000), 800);
  b.duration = 1000;
  b.NewEnvelope().AddPoint(0, 0);
  b.Volumes().Envelope(0).AddPoint(200, 1000);
  const auto left = MixLeft(params);
  ASSERT_GE(left.size(), 79380u);
  EXPECT_EQ(left[22050], 20000);
  EXPECT_NEAR(left[39690], 0.5 * 20000 + 0.5 * 10000, 3);    // 900 ms
  EXPECT_NEAR(left[37485], 0.75 * 20000 + 0.25 * 10000, 3);  // 850 ms
  EXPECT_EQ(left[66150], 10000);
}

TEST_F(CompositeMix, MissingFileIsSilenceAndTheRestPlays) {
  TCompositeParams params;
  params.duration = 2000;
  params.AddItem(dir / "missing.wav", 0).duration = 1500;
  params.AddItem(Dc("dc.wav", 1000, 12345), 1000).duration = 1000;
  auto converter = OpenSoundConverter(params.SaveToText());
  ASSERT_TRUE(converter);
  auto* composite = static_cast<TCompositeConverter*>(converter.Get());
  EXPECT_EQ(composite->Finished().size(), 1u);
  const auto all = test::DecodeAll(*converter, 1 << 24, 10000);
  EXPECT_NEAR(static_cast<double>(all.size()) * 2, 352800, 10000);
  EXPECT_EQ(all[44100], 0);
  EXPECT_EQ(all[2 * 66150], 12345);
}

TEST_F(CompositeMix, SeekPlacesItemsByTheirFileTime) {
  TCompositeParams params;
  params.duration = 3000;
  TCompositeItem& item = params.AddItem(Sound("ramp.wav", 2000, [](int i) { return i / 4; }), 1000);
  item.beginTime = 200;
  item.duration = 1500;
  auto converter = OpenSoundConverter(params.SaveToText());
  ASSERT_TRUE(converter);
  auto* composite = static_cast<TCompositeConverter*>(converter.Get());

  converter->Seek(1500);  // 500 ms into the item: file time 700 ms, frame 30870
  EXPECT_EQ(composite->Playing().size(), 1u);
  ASSERT_TRUE(converter->Fill(400));
  EXPECT_EQ(test::AsSamples16(converter->Output().Data(), 4)[0], 30870 / 4);

  converter->Seek(500);  // the item is opened ahead and starts 500 ms later
  EXPECT_EQ(composite->Ready().size(), 1u);
  const auto all = test::DecodeAll(*converter, 176400 * 2, 10000);
  EXPECT_EQ(all[2 * (22050 - 1)], 0);
  EXPECT_EQ(all[2 * (22050 + 500)], (8820 + 500) / 4);

  converter->Seek(2600);  // past the item's end
  EXPECT_EQ(composite->Finished().size(), 1u);
}

}  // namespace
}  // namespace vyr
