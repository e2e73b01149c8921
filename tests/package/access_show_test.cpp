// Show-wide services: how a show's files are reached, the colour management of a show with
// its packaged tables, and the library hooks.

#include <gtest/gtest.h>

#include <filesystem>

#include "access_fixture.h"
#include "foundation/log.h"
#include "foundation/stream_opener.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/colour/builtin_profiles.h"
#include "imaging/colour/color_cube.h"
#include "imaging/decode/decoder_registry.h"
#include "package/access/packed_file_source.h"
#include "package/access/runtime_libraries.h"
#include "package/access/show_color_management.h"
#include "package/access/show_opener.h"
#include "package/access/temp_folder.h"
#include "project/ini/values.h"

namespace vyr {
namespace {

using test::TTempDir;

TRef<TFileAccessor> PackagedShow(const TTempDir& dir,
                                 const std::vector<test::TEntrySpec>& entries) {
  test::WritePackage(dir / "show.dat", entries);
  auto package = MakeRef<TVyrUnpack>(dir / "show.dat");
  EXPECT_TRUE(package->IsOpen()) << package->ErrorText();
  return MakeRef<TFileAccessor>(MakeRef<TPackedFileSource>(package), dir.Path());
}

TRef<TIniFile> ProjectWith(const std::string& colorManagement) {
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8("[Main]\nColorManagement=" + colorManagement + "\n");
  return project;
}

class ShowServices : public ::testing::Test {
 protected:
  void TearDown() override {
    SetColorCommandLine({});
    SetOutputProfile(nullptr);
    SetTransformFactory(DefaultTransformFactory);
  }
};

// A show's files are reached through its accessor, which every loader is given; opening a show
// installs no process-wide route to them, so names go to the disk only as plain paths.
TEST_F(ShowServices, AShowsFilesAreReachedThroughItsAccessorOnly) {
  TTempDir dir;
  test::WriteFile(dir / "disk.txt", "on disk");
  test::WritePackage(dir / "show.dat", {{"C:\\Pics\\dot.bmp", test::FlatBmp(1, 1, 0xABCDEF)},
                                        {"Project.vyr", "[Main]\nopt_scr_width=800\n"}});
  const TOpenedShow show = OpenShow(dir / "show.dat");
  ASSERT_TRUE(show.Ok()) << show.error;

  TRef<TImage> picture = show.accessor->OpenPicture("C:\\Pics\\dot.bmp");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Bitmap()->Row(0)[0], 0xEF);
  EXPECT_FALSE(OpenPicture("C:\\Pics\\dot.bmp"));  // the picture decoders' own opener
  EXPECT_FALSE(OpenStreamByName("C:\\Pics\\dot.bmp"));
  TRef<TStream> disk = OpenStreamByName(dir / "disk.txt");
  ASSERT_TRUE(disk);
  EXPECT_EQ(test::ReadAll(*disk), "on disk");
}

TEST_F(ShowServices, ColorManagementSetupFollowsSettingAndCommandLine) {
  TTempDir dir;
  const auto srgb = BuildSRGBIcc();
  test::WriteFile(dir / "screen.icc", std::string(srgb.begin(), srgb.end()));
  const TRef<TColorProfile> adobe = BuiltinProfile("AdobeRGB");

  struct TCase {
    const char* label;
    bool noIcc;
    TRef<TColorProfile> commandLine;
    std::string setting;
    bool off;
    bool active;
    std::string output;  // name of the output profile, "-" for none
  };
  const TCase cases[] = {
      {"noicc", true, nullptr, "sRGB", true, false, "-"},
      {"empty", false, nullptr, "", true, false, "-"},
      {"star", false, nullptr, "*", false, false, "RivedADE"},
      {"star with icc", false, adobe, "*", false, true, "AdobeRGB"},
      {"built-in any case", false, nullptr, "adobergb", false, true, "AdobeRGB"},
      {"icc wins", false, adobe, "sRGB", false, true, "AdobeRGB"},
      {"screen", false, nullptr, "?", false, true, "sRGB"},
      {"file", false, nullptr, dir / "screen.icc", false, true, "sRGB"},
      {"missing file", false, nullptr, dir / "none.icc", false, true, "-"},
  };
  const auto show = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(dir.Path()), dir.Path());
  for (const auto& c : cases) {
    SetOutputProfile(nullptr);
    SetColorCommandLine({c.noIcc, c.commandLine, [&] { return ProfileFromIcc(srgb, "screen"); }});
    SetupShowColorManagement(*ProjectWith(c.setting), show.Get());
    EXPECT_EQ(ColorManagementOff(), c.off) << c.label;
    EXPECT_EQ(ColorManagementActive(), c.active) << c.label;
    const TRef<TColorProfile> output = OutputProfile();
    EXPECT_EQ(output ? output->Name() : "-", c.output) << c.label;
  }
}

// The profile file a show names is one of the show's own files: never one beside or above its
// folder, through a link, or from the working directory.
TEST_F(ShowServices, ProfileFilesComeFromInsideTheShow) {
  TTempDir dir;
  const std::string folder = dir / "show";
  test::WriteFile(folder + "/in.icc", "in");
  test::WriteFile(folder + "/sub/deep.icc", "deep");
  test::WriteFile(dir / "out.icc", "out");
  test::WriteFile(dir / "cwd/cwd.icc", "cwd");
  std::filesystem::create_symlink(dir / "out.icc", folder + "/link.icc");
  test::WritePackage(folder + "/show.dat", {{"C:\\Profiles\\packed.icc", "packed"}});
  const auto loose = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(folder), folder);
  const auto packed = MakeRef<TFileAccessor>(
      MakeRef<TPackedFileSource>(MakeRef<TVyrUnpack>(folder + "/show.dat"), folder), folder);
  const std::filesystem::path workingDirectory = std::filesystem::current_path();
  std::filesystem::current_path(dir / "cwd");

  struct TCase {
    const TFileAccessor* show;
    std::string setting;
    std::string read;  // the profile's bytes, "-" for none
    size_t logLines;
  };
  const TCase cases[] = {
      {loose.Get(), "in.icc", "in", 0},
      {loose.Get(), "sub\\deep.icc", "deep", 0},
      {loose.Get(), folder + "/in.icc", "in", 0},
      {loose.Get(), "C:\\Authoring\\in.icc", "in", 0},  // the file name in the show folder
      {loose.Get(), "none.icc", "-", 0},
      {loose.Get(), "../out.icc", "-", 1},
      {loose.Get(), "..\\out.icc", "-", 1},
      {loose.Get(), "sub/../../out.icc", "-", 1},
      {loose.Get(), dir / "out.icc", "-", 1},
      {loose.Get(), "link.icc", "-", 1},
      {loose.Get(), "cwd.icc", "-", 0},
      {packed.Get(), "C:\\Profiles\\packed.icc", "packed", 0},
      {packed.Get(), "in.icc", "in", 0},
      {packed.Get(), "../out.icc", "-", 1},
      {nullptr, dir / "out.icc", "-", 0},
  };
  std::vector<std::string> lines;
  auto log = MakeRef<TLog>();
  log->SetSink([&](const std::string& line) { lines.push_back(line); });
  SetGlobalLog(log);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    lines.clear();
    SetOutputProfile(nullptr);
    SetupShowColorManagement(*ProjectWith(c.setting), c.show);
    const TRef<TColorProfile> output = OutputProfile();
    EXPECT_EQ(output ? std::string(output->IccData().begin(), output->IccData().end()) : "-",
              c.read);
    ASSERT_EQ(lines.size(), c.logLines);
    if (c.logLines) {
      EXPECT_NE(lines[0].find(c.setting), std::string::npos) << lines[0];
    }
  }
  SetGlobalLog(nullptr);
  std::filesystem::current_path(workingDirectory);
}

TEST_F(ShowServices, PackagedShowConvertsThroughItsStoredTable) {
  TTempDir dir;
  // The table is stored as differences from the identity cube: here +16 on every byte.
  const std::string table =
      test::MakeGfxContainer("cube", kCubeSide, kCubeSide * kCubeSide,
                             test::FlatBmp(kCubeSide, kCubeSide * kCubeSide, 0x101010));
  const TRef<TFileAccessor> show = PackagedShow(dir, {{"ColorSpaceExe_Camera].QZGFX", table}});
  SetupShowColorManagement(*ProjectWith("*"), show.Get());
  ASSERT_FALSE(ColorManagementActive());

  const auto camera = MakeRef<TColorProfile>("Camera", std::vector<uint8_t>{1, 2, 3});
  TRef<TColorTransform> transform = MakeColorTransform(camera, nullptr);
  ASSERT_TRUE(transform);
  ASSERT_NE(dynamic_cast<TVyrViewerColorTransform*>(transform.Get()), nullptr);
  TRef<TSysBitmap> cube = CreateSysBitmap(kCubeSide, kCubeSide * kCubeSide, pf::R8G8B8());
  transform->Apply(*cube);
  // Row i * 32 + j, column k holds blue level(i), green level(j), red level(k), plus 16.
  const uint8_t* pixel = cube->Row(2 * kCubeSide + 5) + 7 * 3;
  EXPECT_EQ(pixel[0], static_cast<uint8_t>(CubeLevel(2) + 16));
  EXPECT_EQ(pixel[1], static_cast<uint8_t>(CubeLevel(5) + 16));
  EXPECT_EQ(pixel[2], static_cast<uint8_t>(CubeLevel(7) + 16));

  // A profile without a stored table is not converted at all.
  const auto other = MakeRef<TColorProfile>("Other", std::vector<uint8_t>{1});
  EXPECT_FALSE(MakeColorTransform(other, nullptr));

  // With active colour management the library converts, table or not.
  SetupShowColorManagement(*ProjectWith("sRGB"), show.Get());
  ASSERT_TRUE(ColorManagementActive());
  TRef<TColorTransform> library = MakeColorTransform(camera, nullptr);
  EXPECT_NE(dynamic_cast<TICCColorTransform*>(library.Get()), nullptr);
}

TEST_F(ShowServices, LooseShowsConvertThroughTheLibrary) {
  TTempDir dir;
  const auto show = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(), dir.Path());
  SetupShowColorManagement(*ProjectWith("*"), show.Get());
  const auto camera = MakeRef<TColorProfile>("Camera", std::vector<uint8_t>{1});
  EXPECT_NE(dynamic_cast<TICCColorTransform*>(MakeColorTransform(camera, nullptr).Get()), nullptr);
}

TEST_F(ShowServices, LibraryEntriesOfAShowAreNeverWrittenOut) {
  TTempDir dir;
  const TRef<TFileAccessor> show =
      PackagedShow(dir, {{"ffmpeg.dll", "MZ windows binary"}, {"lcms2.dll", "MZ windows binary"}});
  const size_t before = TempFoldersCreated();
  EXPECT_TRUE(LoadDecoderLibrary(show.Get()));
  EXPECT_TRUE(LoadColorManagementLibrary(show.Get()));
  EXPECT_TRUE(LoadDecoderLibrary(nullptr));
  EXPECT_EQ(TempFoldersCreated(), before);
}

}  // namespace
}  // namespace vyr
