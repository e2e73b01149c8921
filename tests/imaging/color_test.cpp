#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/colour/color_cube.h"
#include "imaging/colour/color_transform.h"
#include "picture_tools.h"

namespace vyr {
namespace {

using namespace vyr::testing;

// One row of "R8G8B8" pixels from 0xRRGGBB colours.
TRef<TSysBitmap> Row(const std::vector<uint32_t>& colours) {
  auto b = CreateSysBitmap(static_cast<int32_t>(colours.size()), 1, pf::R8G8B8());
  for (size_t i = 0; i < colours.size(); ++i) {
    b->Row(0)[i * 3] = static_cast<uint8_t>(colours[i]);
    b->Row(0)[i * 3 + 1] = static_cast<uint8_t>(colours[i] >> 8);
    b->Row(0)[i * 3 + 2] = static_cast<uint8_t>(colours[i] >> 16);
  }
  return b;
}
uint32_t At(const TBitmap& b, int i) {
  const uint8_t* p = b.Row(0) + i * 3;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}
int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s = 0; s < 24; s += 8)
    d = std::max(d, std::abs(int((a >> s) & 255) - int((b >> s) & 255)));
  return d;
}

TEST(ColorProfile, BuiltInsAndSharedSRGB) {
  for (const char* name : {"sRGB", "YUVsRGB", "AdobeRGB", "RivedADE"}) {
    auto p = BuiltinProfile(name);
    ASSERT_TRUE(p) << name;
    EXPECT_EQ(p->Name(), name);
    EXPECT_GT(p->IccData().size(), 128u);
  }
  EXPECT_NE(BuiltinProfile("sRGB"), BuiltinProfile("YUVsRGB"));
  EXPECT_EQ(BuiltinProfile("sRGB")->IccData(), BuiltinProfile("YUVsRGB")->IccData());
  EXPECT_FALSE(BuiltinProfile("Nope"));
  EXPECT_FALSE(ProfileFromIcc({}, "x"));
  // The name within the first 512 bytes shares the built-in profile; later it does not.
  std::vector<uint8_t> named(600, 0);
  const std::string text = "sRGB IEC61966-2.1";
  std::copy(text.begin(), text.end(), named.begin() + 400);
  EXPECT_EQ(ProfileFromIcc(named, "x"), BuiltinProfile("sRGB"));
  std::vector<uint8_t> late(600, 0);
  std::copy(text.begin(), text.end(), late.begin() + 500);
  auto own = ProfileFromIcc(late, "pic.jpg");
  EXPECT_NE(own, BuiltinProfile("sRGB"));
  EXPECT_EQ(own->Name(), "pic.jpg");
}

TEST(ColorTransform, FactoryResolvesProfilesAndSkipsIdentity) {
  EXPECT_FALSE(MakeColorTransform(nullptr, nullptr));  // sRGB to sRGB
  EXPECT_FALSE(MakeColorTransform(BuiltinProfile("sRGB"), nullptr));
  auto toAdobe = MakeColorTransform(nullptr, BuiltinProfile("AdobeRGB"));
  ASSERT_TRUE(toAdobe);
  EXPECT_EQ(toAdobe->Source(), BuiltinProfile("sRGB"));
  SetOutputProfile(BuiltinProfile("AdobeRGB"));
  auto toOutput = MakeColorTransform(nullptr, nullptr);
  ASSERT_TRUE(toOutput);
  EXPECT_EQ(toOutput->Dest(), BuiltinProfile("AdobeRGB"));
  SetOutputProfile(nullptr);
  SetTransformFactory(nullptr);
  EXPECT_FALSE(MakeColorTransform(nullptr, BuiltinProfile("AdobeRGB")));
  SetTransformFactory(DefaultTransformFactory);
}

TEST(ColorTransform, BuiltInAdobeRGBAgreesWithDebiansProfile) {
  const std::string adobe = "/usr/share/color/icc/colord/AdobeRGB1998.icc";
  if (!std::filesystem::exists(adobe)) GTEST_SKIP() << "colord-data is not installed";
  const std::vector<uint32_t> colours = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080,
                                         0xC08040, 0x123456, 0xFFFFFF, 0x000000};
  auto ours = Row(colours), theirs = Row(colours);
  TICCColorTransform(BuiltinProfile("sRGB"), BuiltinProfile("AdobeRGB")).Apply(*ours);
  TICCColorTransform(BuiltinProfile("sRGB"), ProfileFromIcc(ReadFile(adobe), "AdobeRGB1998"))
      .Apply(*theirs);
  // The two profiles round their colorants differently: a few levels on saturated colours.
  for (size_t i = 0; i < colours.size(); ++i)
    EXPECT_LE(Distance(At(*ours, int(i)), At(*theirs, int(i))), 4) << i;
  // Saturated green moves visibly: Adobe RGB is wider.
  EXPECT_GT(Distance(At(*ours, 1), 0x00FF00), 20);
}

TEST(ColorTransform, RivedADEExchangesTheColours) {
  // Tolerance: its colorants are given to five digits and its curves have 129 entries.
  auto bitmap = Row({0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
  TICCColorTransform(BuiltinProfile("sRGB"), BuiltinProfile("RivedADE")).Apply(*bitmap);
  EXPECT_LE(Distance(At(*bitmap, 0), 0x0000FF), 4);  // red is shown by its blue channel
  EXPECT_LE(Distance(At(*bitmap, 1), 0xFF0000), 4);
  EXPECT_LE(Distance(At(*bitmap, 2), 0x00FF00), 4);
  EXPECT_LE(Distance(At(*bitmap, 3), 0x808080), 4);
  // 32-bit pixels keep their alpha.
  auto argb = CreateSysBitmap(1, 1, pf::A8R8G8B8());
  argb->FillRect({0, 0, 1, 1}, 0x40FF0000);
  TICCColorTransform(BuiltinProfile("sRGB"), BuiltinProfile("RivedADE")).Apply(*argb);
  EXPECT_EQ(argb->Row(0)[3], 0x40);
  EXPECT_GE(argb->Row(0)[0], 253);
  // Broken ICC data leaves the pixels alone.
  auto same = Row({0x123456});
  TICCColorTransform(BuiltinProfile("sRGB"), MakeRef<TColorProfile>("bad", std::vector<uint8_t>(9)))
      .Apply(*same);
  EXPECT_EQ(At(*same, 0), 0x123456u);
}

TEST(ColorCube, IdentityCubeAndTrilinearSingleColours) {
  auto cube = MakeIdentityCube();
  ASSERT_EQ(cube->Width(), 32);
  ASSERT_EQ(cube->Height(), 1024);
  // Row i * 32 + j, column k: blue level(i), green level(j), red level(k).
  const uint8_t* p = cube->Row(3 * 32 + 31) + 7 * 3;
  EXPECT_EQ(p[0], 24);
  EXPECT_EQ(p[1], 255);
  EXPECT_EQ(p[2], 57);
  // v = 128: t = 1019776, n = 15, f = 36751: 123 + (36751 * 9 + 32767) div 65536 = 128.
  for (uint32_t c : {0x000000u, 0xFFFFFFu, 0x808080u, 0xFF0080u})
    EXPECT_EQ(ConvertColorThroughCube(*cube, c), c) << std::hex << c;
  // Without a profile and without an output profile the colour stays.
  EXPECT_EQ(ConvertColor(nullptr, 0x123456), 0x123456u);
  // sRGB to itself makes no transform, so no cube.
  EXPECT_EQ(ConvertColor(BuiltinProfile("sRGB").Get(), 0x123456), 0x123456u);
  EXPECT_FALSE(BuiltinProfile("sRGB")->Cube());
  EXPECT_TRUE(BuiltinProfile("sRGB")->CubeMade());
  EXPECT_LE(Distance(ConvertColor(BuiltinProfile("RivedADE").Get(), 0xFF0000), 0x0000FF), 4);
}

TEST(ColorCube, PackagedCubesAreStoredAsDifferences) {
  auto zero = CreateSysBitmap(32, 1024, pf::R8G8B8());  // no difference: the identity
  auto transform =
      MakePackagedCubeTransform(BuiltinProfile("sRGB"), BuiltinProfile("AdobeRGB"), zero.Get());
  ASSERT_TRUE(transform);
  auto target = MakeIdentityCube();
  target->FillRect({0, 0, 32, 1024}, 0);
  transform->Apply(*target);
  auto identity = MakeIdentityCube();
  for (int y = 0; y < 1024; y += 37)
    EXPECT_EQ(std::memcmp(target->Row(y), identity->Row(y), 96), 0) << y;
  // Differences wrap modulo 256.
  auto shifted = CreateSysBitmap(32, 1024, pf::R8G8B8());
  shifted->FillRect({0, 0, 32, 1024}, 0x00000010);
  auto wrapped =
      MakePackagedCubeTransform(BuiltinProfile("sRGB"), BuiltinProfile("AdobeRGB"), shifted.Get());
  wrapped->Apply(*target);
  EXPECT_EQ(target->Row(31 * 32)[0], static_cast<uint8_t>(255 + 16));
  EXPECT_FALSE(MakePackagedCubeTransform(nullptr, nullptr, nullptr));
}

}  // namespace
}  // namespace vyr
