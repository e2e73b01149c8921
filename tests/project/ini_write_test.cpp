// Writing the model: layout, round trips, value text and the savers.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "foundation/stream.h"
#include "foundation/stream_opener.h"
#include "ini_test_util.h"
#include "project/ini/ini.h"

namespace vyr {
namespace {

using testing::Numbered;
using testing::Parse;
using testing::Shape;

TEST(IniWrite, NestedBlocksAreIndentedAndReadBackEqual) {
  auto file = MakeRef<TIniFile>();
  TIniSection* slide = FindOrAddSection(file.Get(), "Slide1");
  WriteInt(FindOrAddKey(slide, "time"), 5);
  TIniObject* button = slide->AddObject("Btn", "Button");
  WriteText(FindOrAddKey(button, "caption"), "Go");
  TIniObject* text = button->AddObject("Label", "");
  WriteText(FindOrAddKey(text, "font"), "Arial");
  button->AddObject("", "");
  slide->AddText(";comment");

  const std::string expected =
      "[Slide1]\r\n"
      "time=5\r\n"
      "object Btn:Button\r\n"
      "  caption=Go\r\n"
      "  object Label\r\n"
      "    font=Arial\r\n"
      "  end\r\n"
      "  object\r\n"
      "  end\r\n"
      "end\r\n"
      "\r\n"
      ";comment\r\n";
  EXPECT_EQ(file->SaveToBytes(false), expected);
  EXPECT_EQ(Shape(*Parse(expected)), Shape(*file));
}

TEST(IniWrite, CommentsBlankLinesAndStrayEndsSurviveARoundTrip) {
  const std::string text =
      "; head comment\r\n"
      "\r\n"
      "[Main]\r\n"
      ";comment\r\n"
      "a=b=c\r\n"
      "empty=\r\n"
      "end\r\n"
      "strange line\r\n"
      "[open\r\n"
      "object a:b:c\r\n"
      "end\r\n"
      "object name:with:colons:\r\n"
      "end\r\n";
  const auto file = Parse(text);
  EXPECT_EQ(file->SaveToBytes(false), text);
  EXPECT_EQ(FindObject(FindSection(file.Get(), "Main"), "name:with:colons")->ClassName(), "");
}

TEST(IniWrite, LongIndentationIsWrittenInPieces) {
  TBytesTextSaver saver;
  saver.WriteIndent(250);
  EXPECT_EQ(saver.Text(), std::string(250, ' '));
}

TEST(IniWrite, ByteOrderMarkOnRequest) {
  const auto file = Parse("a=1");
  EXPECT_EQ(file->SaveToBytes(true),
            "\xEF\xBB\xBF"
            "a=1\r\n");
  auto stream = MakeRef<TMemoryStream>();
  ASSERT_TRUE(file->SaveToStream(*stream, false));
  EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), "a=1\r\n");
}

TEST(IniWrite, StreamSaverWritesInWholeBuffers) {
  class TCountingStream : public TMemoryStream {
   public:
    int64_t Write(const void* buffer, int64_t count) override {
      writes.push_back(count);
      return TMemoryStream::Write(buffer, count);
    }
    std::vector<int64_t> writes;
  };
  auto file = MakeRef<TIniFile>();
  TIniSection* s = FindOrAddSection(file.Get(), "S");
  for (int i = 0; i < 10000; ++i) s->AddKey(Numbered("key", i), "value");
  auto stream = MakeRef<TCountingStream>();
  ASSERT_TRUE(file->SaveToStream(*stream, true));
  const std::string all = file->SaveToBytes(true);
  ASSERT_EQ(stream->Size(), static_cast<int64_t>(all.size()));
  for (size_t i = 0; i + 1 < stream->writes.size(); ++i) {
    EXPECT_EQ(stream->writes[i], static_cast<int64_t>(TStreamTextSaver::kBufferSize));
  }
  EXPECT_EQ(Shape(*Parse(all.substr(3))), Shape(*file));
}

TEST(IniWrite, WriteErrorsGiveFailure) {
  class TFullStream : public TMemoryStream {
   public:
    int64_t Write(const void*, int64_t) override { return 0; }
  };
  const auto file = Parse("a=1");
  auto stream = MakeRef<TFullStream>();
  EXPECT_FALSE(file->SaveToStream(*stream, true));
}

TEST(IniWrite, SaveToFileCutsTheOldContentAndLoadsBack) {
  const auto dir = std::filesystem::temp_directory_path() / Numbered("vyr_ini_", ::getpid());
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "Project.vyr").string();
  {
    std::ofstream old(path, std::ios::binary);
    old << std::string(1000, 'x');
  }
  auto file = Parse("[Main]\nname=Grüße");
  ASSERT_TRUE(file->SaveToFile(path));
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), "\xEF\xBB\xBF[Main]\r\nname=Grüße\r\n");
  auto loaded = MakeRef<TIniFile>();
  ASSERT_TRUE(loaded->LoadFromFile(path));
  EXPECT_EQ(ReadText(loaded.Get(), "main", "NAME", ""), "Grüße");
  std::filesystem::remove_all(dir);
}

TEST(IniWrite, FilesGoThroughTheProcessHooks) {
  auto stored = MakeRef<TMemoryStream>();
  SetStreamCreator([&](const std::string& path) -> TRef<TStream> {
    return path == "mem:Project.vyr" ? TRef<TStream>(stored) : nullptr;
  });
  SetStreamOpener([&](const std::string& path) -> TRef<TStream> {
    if (path != "mem:Project.vyr") return nullptr;
    stored->Seek(0);
    return stored;
  });
  ASSERT_TRUE(Parse("k=1")->SaveToFile("mem:Project.vyr"));
  auto loaded = MakeRef<TIniFile>();
  EXPECT_TRUE(loaded->LoadFromFile("mem:Project.vyr"));
  EXPECT_EQ(ReadInt(FindKey(loaded.Get(), "k"), 0), 1);
  EXPECT_FALSE(loaded->LoadFromFile("mem:Other"));
  EXPECT_FALSE(Parse("k=1")->SaveToFile("mem:Other"));
  SetStreamCreator(nullptr);
  SetStreamOpener(nullptr);
}

TEST(IniWrite, ValueTextEncodingTable) {
  const struct {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"plain", "plain"}, {"a\\b", "a\\\\b"}, {"1\r\n2\n\r3\r4\n5", "1\\n2\\n3\\n4\\n5"},
      {"\n\n", "\\n\\n"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeValueText(c.text), c.encoded) << c.text;
  EXPECT_EQ(DecodeValueText("1\\n2\\\\n"), "1\r\n2\\n");
  for (const char* invalid : {"a\\", "a\\t", "\\N"}) {
    EXPECT_EQ(DecodeValueText(invalid), "") << invalid;
    EXPECT_FALSE(TryDecodeValueText(invalid).has_value()) << invalid;
  }
}

TEST(IniWrite, ValueTextRoundTripOfAWholeModel) {
  auto file = Parse("[S]\npath=C:\\shows\\a.jpg\nobject O:C\n  k=v\nend\n");
  // A multi-line text is stored as value text inside the model's value text.
  WriteText(FindOrAddKey(FindSection(file.Get(), "S"), "multi"), EncodeValueText("line1\r\nline2"));
  const std::string value = file->SaveToValueText();
  EXPECT_EQ(value.find_first_of("\r\n"), std::string::npos);
  EXPECT_NE(value.find("path=C:\\\\shows\\\\a.jpg\\n"), std::string::npos) << value;

  auto back = MakeRef<TIniFile>();
  ASSERT_TRUE(back->LoadFromValueText(value));
  EXPECT_EQ(ReadText(back.Get(), "S", "path", ""), "C:\\shows\\a.jpg");
  EXPECT_EQ(DecodeValueText(ReadText(back.Get(), "S", "multi", "")), "line1\r\nline2");
  EXPECT_EQ(ReadText(FindByPath(back.Get(), "S:O:k")), "v");

  EXPECT_FALSE(back->LoadFromValueText("a=1\\x"));
  EXPECT_EQ(back->Count(), 0u);
}

}  // namespace
}  // namespace vyr
