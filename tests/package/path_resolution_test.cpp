// Project paths from the authoring machine found on disk: separators, case, drive letters,
// the show folder; folder placeholders; path modifiers; resolving real files.

#include <gtest/gtest.h>

#include "access_fixture.h"
#include "package/access/file_accessor.h"
#include "package/access/loose_file_sources.h"
#include "package/access/path_modifiers.h"
#include "package/access/path_resolver.h"
#include "package/access/special_folders.h"
#include "platform/process_paths.h"

namespace vyr {
namespace {

using test::TScopedEnv;
using test::TTempDir;

std::string Backslashed(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

TEST(PathResolution, LooseFilesAreFoundStepByStep) {
  TTempDir dir;
  const std::string root = dir.Path().string();
  const std::string beach = root + "/Show/Pics/Beach.JPG";
  test::WriteFile(beach, "x");
  test::WriteFile(root + "/Show/Pics/back\\slash.jpg", "y");  // "\" is a legal name byte here
  const std::string showFolder = root + "/Show/Pics";

  struct TCase {
    std::string path;
    std::string showFolder;
    std::optional<std::string> expected;
  };
  const TCase cases[] = {
      {beach, "", beach},
      {Backslashed(beach), "", beach},
      {root + "/show/PICS/beach.jpg", "", beach},
      {"C:" + Backslashed(root) + "\\SHOW\\pics\\BEACH.jpg", "", beach},
      {"d:\\Authoring\\Photos\\BEACH.jpg", showFolder, beach},
      {"d:\\Authoring\\Photos\\BEACH.jpg", "", std::nullopt},
      {root + "/Show/Pics/back\\slash.jpg", "", root + "/Show/Pics/back\\slash.jpg"},
      {root + "/Show/Pics", showFolder, std::nullopt},  // a folder is no file
      {root + "/Show/Pics/missing.jpg", showFolder, std::nullopt},
      {root + "/Show/Pics/Beach.JPG/..", showFolder, std::nullopt},
      {"", showFolder, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindDiskFile(c.path, c.showFolder), c.expected) << c.path;
}

TEST(PathResolution, ALooseProjectWithDriveLettersPlaysFromTheShowFolder) {
  TTempDir dir;
  test::WriteFile(dir / "photo.bmp", test::FlatBmp(3, 2, 0x102030));
  TFileAccessor accessor(MakeRef<TMappedFileSource>(dir.Path().string()), dir.Path());
  TRef<TImage> picture = accessor.OpenPicture("C:\\Users\\Author\\My Shows\\Photo.bmp");
  ASSERT_TRUE(picture);
  TRef<TBitmap> bitmap = picture->Bitmap();
  ASSERT_EQ(bitmap->Width(), 3);
  ASSERT_EQ(bitmap->Height(), 2);
  EXPECT_EQ(bitmap->Row(1)[0], 0x30);  // stored B, G, R
  EXPECT_EQ(bitmap->Row(1)[2], 0x10);
}

TEST(PathResolution, ResolveRealFileTriesModifiersThenTheShowFolder) {
  TTempDir dir;
  test::WriteFile(dir / "music/song.mp3", "mp3");
  test::WriteFile(dir / "show/clip.avi", "avi");
  SetPathModifiers({{"%MUSIC%", dir / "music", false}});
  TFileAccessor accessor(MakeRef<TRealFileSource>(), dir / "show");

  std::string path = "%MUSIC%\\song.mp3";
  EXPECT_TRUE(accessor.ResolveRealFile(path));
  EXPECT_EQ(path, dir / "music/song.mp3");
  path = "C:\\Video\\clip.avi";
  EXPECT_TRUE(accessor.ResolveRealFile(path));
  EXPECT_EQ(path, dir / "show/clip.avi");
  path = "C:\\Video\\none.avi";
  EXPECT_FALSE(accessor.ResolveRealFile(path));
  EXPECT_EQ(path, "C:\\Video\\none.avi");

  TRef<TFileStream> file = accessor.OpenRealFile("%MUSIC%\\song.mp3");
  ASSERT_TRUE(file);
  EXPECT_EQ(test::ReadAll(*file), "mp3");
  EXPECT_FALSE(accessor.OpenRealFile("C:\\Video\\none.avi"));
  SetPathModifiers({});
}

// Relative names are the show folder's: a file of that name in the working directory is
// never taken, even where the show folder has none.
TEST(PathResolution, RelativeNamesNeverResolveAgainstTheWorkingDirectory) {
  TTempDir dir;
  const std::string show = dir / "show", cwd = dir / "cwd";
  test::WriteFile(show + "/pics/in.bmp", test::FlatBmp(1, 1, 0x0000FF));
  for (const char* name : {"in.bmp", "pics/in.bmp", "only.bmp", "pics/only.bmp", "C:pics/in.bmp"})
    test::WriteFile(cwd + "/" + name, test::FlatBmp(1, 1, 0xFF0000));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(cwd);

  struct TCase {
    std::string path;
    std::string showFolder;
    std::optional<std::string> expected;
  };
  const TCase cases[] = {
      {"pics/in.bmp", show, show + "/pics/in.bmp"},
      {"pics\\IN.BMP", show, show + "/pics/in.bmp"},
      {"C:pics\\in.bmp", show, show + "/pics/in.bmp"},
      {"in.bmp", show, std::nullopt},  // no show-folder file of that name at the top
      {"pics/only.bmp", show, std::nullopt},
      {"only.bmp", show, std::nullopt},
      {"pics/in.bmp", "", std::nullopt},
      {"in.bmp", "", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindGivenFile(c.path, c.showFolder), c.expected) << c.path << " in " << c.showFolder;

  // Through the accessors: the loose source and the real-file lookup.
  TFileAccessor loose(MakeRef<TMappedFileSource>(show), show);
  EXPECT_FALSE(loose.OpenStream("only.bmp"));
  EXPECT_FALSE(loose.OpenStream("pics/only.bmp"));
  TRef<TStream> found = loose.OpenStream("pics\\in.bmp");
  ASSERT_TRUE(found);
  EXPECT_EQ(test::ReadAll(*found), test::FlatBmp(1, 1, 0x0000FF));
  std::string path = "pics/only.bmp";
  EXPECT_FALSE(loose.ResolveRealFile(path));
  path = "pics/in.bmp";
  EXPECT_TRUE(loose.ResolveRealFile(path));
  EXPECT_EQ(path, show + "/pics/in.bmp");
  TFileAccessor bare(MakeRef<TRealFileSource>(), "");
  EXPECT_FALSE(bare.OpenStream("in.bmp"));
  std::filesystem::current_path(before);
}

TEST(FolderPlaceholders, MapToTheUserFolders) {
  TTempDir dir;
  TScopedEnv config("XDG_CONFIG_HOME", dir / "config");
  TScopedEnv data("XDG_DATA_HOME", std::nullopt);
  TScopedEnv home("HOME", dir / "home");
  TScopedEnv tmpdir("TMPDIR", dir.Path().string());

  struct TCase {
    std::string path;
    std::string expected;
  };
  const TCase cases[] = {
      {"%APPDATA%\\Shows", dir / "config/Shows"},
      {"%appdata%/Shows", dir / "config/Shows"},
      {"%LocalAppData%\\x.jpg", dir / "home/.local/share/x.jpg"},
      {"%PROGRAMDATA%\\Vendor", "/var/lib/Vendor"},
      {"%SYSTEMROOT%\\Fonts", "/Fonts"},
      {"%TEMP%\\t.dat", dir / "t.dat"},
      {"%TEMP%", dir.Path().string() + "/"},
      {"%UNKNOWN%\\x", "%UNKNOWN%\\x"},
      {"%LOCALAPPDATAX%\\x", "%LOCALAPPDATAX%\\x"},  // 15 characters: too long
      {"%" + std::string(5000, 'A') + "%\\x", "%" + std::string(5000, 'A') + "%\\x"},
      {"%APPDATA", "%APPDATA"},
      {"Shows\\%APPDATA%", "Shows\\%APPDATA%"},  // only at the very start
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandFolderPlaceholder(c.path), c.expected) << c.path;
}

TEST(FolderPlaceholders, TempFolderIsTheFirstExistingCandidate) {
  TTempDir dir;
  {
    TScopedEnv tmpdir("TMPDIR", dir / "missing");
    TScopedEnv tmp("TMP", dir.Path().string());
    TScopedEnv temp("TEMP", "/");
    EXPECT_EQ(TempFolderPath(), dir.Path().string() + "/");
  }
  TScopedEnv tmpdir("TMPDIR", std::nullopt);
  TScopedEnv tmp("TMP", std::nullopt);
  TScopedEnv temp("TEMP", dir / "missing");
  EXPECT_EQ(TempFolderPath(), "/tmp/");
}

TEST(PathModifiers, AnExistingFileWinsOverDefaults) {
  TTempDir dir;
  test::WriteFile(dir / "B/x.jpg", "x");
  test::WriteFile(dir / "C/y.jpg", "y");
  const std::vector<TPathModifier> list = {
      {"%PICS%", dir / "A", true},      {"%PICS%", dir / "B", false},
      {"%OTHER%", dir / "C", false},    {"%LAST%", dir / "first", true},
      {"%LAST%", dir / "second", true},
  };
  struct TCase {
    std::string path;
    std::string expected;
  };
  const TCase cases[] = {
      {"%PICS%\\x.jpg", dir / "B" + "\\x.jpg"},
      {"%pics%\\y.jpg", dir / "A" + "\\y.jpg"},  // no file: the default
      {"%OTHER%\\y.jpg|frames", dir / "C" + "\\y.jpg|frames"},
      {"%OTHER%\\none.jpg", "%OTHER%\\none.jpg"},  // no file, no default
      {"%LAST%\\z.jpg", dir / "second" + "\\z.jpg"},
      {"%NOPE%\\x.jpg", "%NOPE%\\x.jpg"},
      {"%PICS%\\%OTHER%", dir / "A" + "\\%OTHER%"},
      {"50%", "50%"},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplyPathModifiers(c.path, list), c.expected) << c.path;
}

TEST(PathModifiers, ReadFromTheProjectAndAppliedToLooseFiles) {
  TTempDir dir;
  TScopedEnv config("XDG_CONFIG_HOME", dir / "config");
  test::WriteFile(dir / "config/Shows/a.txt", "from config");
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8(
      "[PathModifiers]\nCount=3\n"
      "Env0=%SHOWS%\nPath0=%APPDATA%\\Shows\nDef0=1\n"
      "Env1=%REL%\nPath1=relative\\dir\n"
      "Env2=\nPath2=/ignored\n");
  const auto list = ReadPathModifiers(*project);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].replacement, dir / "config/Shows");
  EXPECT_TRUE(list[0].isDefault);
  EXPECT_EQ(list[1].replacement, ProgramFolder() + "relative\\dir");
  EXPECT_FALSE(list[1].isDefault);

  LoadPathModifiers(*project);
  TFileAccessor accessor(MakeRef<TRealFileSource>(), dir.Path());
  TRef<TStream> stream = accessor.OpenStream("%Shows%\\A.TXT");
  ASSERT_TRUE(stream);
  EXPECT_EQ(test::ReadAll(*stream), "from config");
  SetPathModifiers({});
}

TEST(PathModifiers, AHugeCountReadsOnlyWhatIsThere) {
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8("[PathModifiers]\nCount=2000000000\nEnv0=%A%\nPath0=/a\n");
  EXPECT_EQ(ReadPathModifiers(*project).size(), 1u);
}

}  // namespace
}  // namespace vyr
