// Each kind of file source behind a file accessor: package entries, loose files, the file map
// and the rotation table.

#include <gtest/gtest.h>

#include "access_fixture.h"
#include "package/access/file_accessor.h"
#include "package/access/file_map.h"
#include "package/access/loose_file_sources.h"
#include "package/access/packed_file_source.h"
#include "package/container/partial_stream.h"

namespace vyr {
namespace {

using test::TTempDir;

std::string ReadName(TFileAccessor& accessor, const std::string& name) {
  TRef<TStream> stream = accessor.OpenStream(name);
  return stream ? test::ReadAll(*stream) : std::string("<none>");
}

TRef<TIniFile> Project(std::string_view text) {
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8(text);
  return project;
}

TEST(PackedSource, OpensEntriesByTheProjectPathAsWritten) {
  TTempDir dir;
  const std::string picture = test::PatternBytes(70000, 3);
  test::WritePackage(dir / "show.dat",
                     {{"C:\\Shows\\[Beach]\\sun.jpg", picture, TPackMethod::Stored},
                      {"Music\\song.mp3", "deflated music", TPackMethod::Deflated},
                      {"secret.txt", "scrambled text", TPackMethod::Scrambled}});
  auto package = MakeRef<TVyrUnpack>(dir / "show.dat");
  ASSERT_TRUE(package->IsOpen()) << package->ErrorText();
  auto accessor = MakeRef<TFileAccessor>(MakeRef<TPackedFileSource>(package), dir.Path());

  EXPECT_EQ(ReadName(*accessor, "C:\\Shows\\[Beach]\\sun.jpg"), picture);
  EXPECT_EQ(ReadName(*accessor, "Music\\song.mp3"), "deflated music");
  EXPECT_EQ(ReadName(*accessor, "secret.txt"), "scrambled text");
  // A package entry is never looked for under other separators or on disk.
  EXPECT_EQ(ReadName(*accessor, "C:/Shows/[Beach]/sun.jpg"), "<none>");
  EXPECT_EQ(ReadName(*accessor, dir / "show.dat"), "<none>");

  // Every stream reports its reads in chunks to the load-yield hook.
  TRef<TStream> stream = accessor->OpenStream("C:\\Shows\\[Beach]\\sun.jpg");
  EXPECT_NE(dynamic_cast<TPartialStream*>(stream.Get()), nullptr);
}

TEST(PackedSource, FileMapChainsAreFollowedAndCyclesEnd) {
  TTempDir dir;
  test::WritePackage(dir / "show.dat", {{"pics\\new.jpg", "new picture"}, {"A", "entry A"}});
  auto source = MakeRef<TPackedFileSource>(MakeRef<TVyrUnpack>(dir / "show.dat"));
  source->LoadMaps(
      *Project("[FileMap]\n"
               ";\"C:\\Old\\First.jpg\"=\"C:\\Old\\Second.jpg\"\n"
               ";C:\\Old\\Second.jpg = pics\\new.jpg\n"
               ";A=B\n"
               ";B=A\n"
               ";Self=Self\n"
               "key=value\n"));
  TFileAccessor accessor(source, dir.Path());

  EXPECT_EQ(ReadName(accessor, "c:\\old\\first.JPG"), "new picture");  // keys ignore case
  EXPECT_EQ(ReadName(accessor, "A"), "entry A");                       // a cycle ends
  EXPECT_EQ(ReadName(accessor, "Self"), "<none>");
  EXPECT_EQ(ReadName(accessor, "key"), "<none>");  // a key is not a map line
}

TEST(FileMap, LinesSplitAtTheFirstEqualsOutsideQuotes) {
  struct TCase {
    std::string_view line;
    std::optional<std::pair<std::string, std::string>> expected;
  };
  const TCase cases[] = {
      {";a.jpg=b.jpg", std::pair{"a.jpg", "b.jpg"}},
      {"a.jpg=b.jpg", std::pair{"a.jpg", "b.jpg"}},
      {";\"x=y.jpg\" = \"z=w.jpg\"", std::pair{"x=y.jpg", "z=w.jpg"}},
      {";  spaced.jpg  =  t.jpg  ", std::pair{"spaced.jpg", "t.jpg"}},
      {";=b.jpg", std::nullopt},
      {";a.jpg=", std::nullopt},
      {";\"\"=b.jpg", std::nullopt},
      {";no equals", std::nullopt},
      {";\"a=b\"", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseFileMapLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.line;
    if (parsed) {
      EXPECT_EQ(parsed->source, c.expected->first) << c.line;
      EXPECT_EQ(parsed->target, c.expected->second) << c.line;
    }
  }
}

TEST(RotationTable, OnlyTurnsThreeSixAndEightAreKept) {
  TRotationTable table;
  table.Load(
      *Project("[RotationState]\n"
               ";\"half.jpg\"=3\n;\"right.jpg\"=6\n;\"Left.JPG\"=8\n"
               ";\"plain.jpg\"=1\n;\"odd.jpg\"=5\n;\"big.jpg\"=99999999999\n;\"word.jpg\"=x\n"
               ";unquoted.jpg=6\n"));
  EXPECT_EQ(table.Find("HALF.jpg"), 3);
  EXPECT_EQ(table.Find("right.jpg"), 6);
  EXPECT_EQ(table.Find("left.jpg"), 8);
  for (const char* name : {"plain.jpg", "odd.jpg", "big.jpg", "word.jpg", "unquoted.jpg"})
    EXPECT_EQ(table.Find(name), 0) << name;
}

TEST(MappedSource, RotationTurnsPicturesWhileTheyDecode) {
  TTempDir dir;
  // 2 x 1: red on the left, blue on the right.
  const std::string bmp =
      test::MakeBmp(2, 1, [](int x, int) { return x == 0 ? 0xFF0000u : 0x0000FFu; });
  test::WriteFile(dir / "turned.bmp", bmp);
  test::WriteFile(dir / "upright.bmp", bmp);
  auto source = MakeRef<TMappedFileSource>(dir.Path().string());
  source->LoadMaps(*Project("[RotationState]\n;\"C:\\Pics\\turned.bmp\"=6\n"));
  TFileAccessor accessor(source, dir.Path());

  TRef<TImage> turned = accessor.OpenPicture("C:\\Pics\\turned.bmp");
  ASSERT_TRUE(turned);
  TRef<TBitmap> bitmap = turned->Bitmap();
  ASSERT_EQ(bitmap->Width(), 1);
  ASSERT_EQ(bitmap->Height(), 2);
  // A quarter turn clockwise puts the left pixel on top; "R8G8B8" is stored B, G, R.
  EXPECT_EQ(bitmap->Row(0)[2], 0xFF);
  EXPECT_EQ(bitmap->Row(1)[0], 0xFF);

  TRef<TImage> upright = accessor.OpenPicture("C:\\Pics\\upright.bmp");
  ASSERT_TRUE(upright);
  EXPECT_EQ(upright->Bitmap()->Width(), 2);
}

TEST(RealSource, OpensLooseFilesAndIgnoresWhatFollowsABar) {
  TTempDir dir;
  test::WriteFile(dir / "anim.gif", "gif bytes");
  TFileAccessor accessor(MakeRef<TRealFileSource>(dir.Path().string()), dir.Path());
  EXPECT_EQ(ReadName(accessor, dir / "anim.gif|framesatlas"), "gif bytes");
  EXPECT_EQ(ReadName(accessor, "E:\\Elsewhere\\ANIM.GIF"), "gif bytes");  // from the show folder
  EXPECT_EQ(ReadName(accessor, dir / "missing.gif"), "<none>");
  EXPECT_EQ(ReadName(accessor, dir.Path().string()), "<none>");  // a folder is no file
}

TEST(Accessor, PostOpenFilterAndFallbackOpener) {
  TTempDir dir;
  test::WriteFile(dir / "a.txt", "disk a");
  TFileAccessor accessor(MakeRef<TRealFileSource>(), dir.Path());
  accessor.SetPostOpenFilter([](const std::string& name, TRef<TStream>& stream) {
    if (name.ends_with("a.txt")) stream = MakeRef<TMemoryStream>(std::vector<uint8_t>{'F'});
  });
  accessor.SetFallbackOpener([](const std::string& name) -> TRef<TStream> {
    if (name != "virtual") return nullptr;
    return MakeRef<TMemoryStream>(std::vector<uint8_t>{'v'});
  });
  EXPECT_EQ(ReadName(accessor, dir / "a.txt"), "F");
  EXPECT_EQ(ReadName(accessor, "virtual"), "v");
  EXPECT_EQ(ReadName(accessor, "other"), "<none>");
}

TEST(Accessor, CloneSharesTheSourceAndShowFolder) {
  TTempDir dir;
  auto source = MakeRef<TRealFileSource>();
  auto accessor = MakeRef<TFileAccessor>(source, dir.Path().string() + "//");
  accessor->SetPictureLevel(2);
  const TRef<TFileAccessor> clone = accessor->Clone();
  EXPECT_NE(clone.Get(), accessor.Get());
  EXPECT_EQ(&clone->Source(), source.Get());
  EXPECT_EQ(clone->ShowFolder(), dir.Path().string() + "/");
  EXPECT_EQ(clone->PictureLevel(), 0);
  accessor.Reset();  // the clone keeps the source alive on its own
  EXPECT_EQ(clone->Source().SourceNumber(), source->SourceNumber());
}

TEST(Accessor, SourcesHaveDistinctNumbers) {
  auto a = MakeRef<TRealFileSource>();
  auto b = MakeRef<TMappedFileSource>();
  EXPECT_NE(a->SourceNumber(), b->SourceNumber());
}

}  // namespace
}  // namespace vyr
