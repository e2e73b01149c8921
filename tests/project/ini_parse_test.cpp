// Reading the INI dialect: line kinds, line breaks, text encodings and structure.
#include <gtest/gtest.h>

#include <string>

#include "foundation/stream.h"
#include "ini_test_util.h"
#include "project/ini/ini.h"
#include "project/ini/parser.h"

namespace vyr {
namespace {

using testing::Parse;
using testing::Shape;

struct LineCase {
  const char* line;
  const char* shape;
};

TEST(IniParse, LineKinds) {
  const LineCase cases[] = {
      {" \t ", "T()"},
      {"  \t Name  =  some value \t", "K(Name=some value)"},
      {"a=b=c", "K(a=b=c)"},
      {"a=", "K(a=)"},
      {";comment ", "T(;comment)"},
      {"  =x = y", "T(=x = y)"},
      {"plain words  ", "T(plain words)"},
      {"object=5", "K(object=5)"},
      {"object = 5", "K(object=5)"},
      {"end = 1", "K(end=1)"},
      {"objects=2", "K(objects=2)"},
      {"endtime=5", "K(endtime=5)"},
      {"endless", "T(endless)"},
      {"end", "T(end)"},
      {"END  trailing", "T(end)"},
      {"[open", "T([open)"},
      {"\x01\x1f  key\x08=\x02value\x7f", "K(key=value\x7f)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shape(*Parse(c.line)), c.shape) << "line: " << c.line;
  }
}

TEST(IniParse, SectionHeadersAndObjectLines) {
  const LineCase cases[] = {
      {"[ Main ] ignored", "S(Main){}"},
      {"[]", "S(){}"},
      {"object Btn:Button", "O(Btn:Button){}"},
      {"OBJECT a:b:c", "O(a:b:c){}"},
      {"Object  name with blanks  :  Cls  ", "O(name with blanks:Cls){}"},
      {"object NoClass", "O(NoClass:){}"},
      {"object", "O(:){}"},
      {"object:Cls", "O(:Cls){}"},
      {"object;x", "O(;x:){}"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shape(*Parse(c.line)), c.shape) << "line: " << c.line;
  }
}

TEST(IniParse, EveryLineBreakEndsOneLine) {
  EXPECT_EQ(Shape(*Parse("a=1\r\nb=2\n\rc=3\rd=4\ne=5")), "K(a=1)K(b=2)K(c=3)K(d=4)K(e=5)");
  // Two equal break bytes end two lines; a final break adds no line.
  EXPECT_EQ(Shape(*Parse("a=1\n\nb=2\r\r\r\n")), "K(a=1)T()K(b=2)T()T()");
  EXPECT_EQ(Shape(*Parse("")), "");
}

TEST(IniParse, StructureOfSectionsAndBlocks) {
  const auto file = Parse(
      ";head\n"
      "top=1\n"
      "[Main]\n"
      "a=1\n"
      "object Btn:Button\n"
      "  x=5\n"
      "  object Inner:Text\n"
      "    y=6\n"
      "  end\n"
      "end\n"
      "end\n"
      "[Other]\n"
      "b=2\n"
      "[main]\n"
      "c=3\n");
  EXPECT_EQ(Shape(*file),
            "T(;head)K(top=1)"
            "S(Main){K(a=1)O(Btn:Button){K(x=5)O(Inner:Text){K(y=6)}}T(end)K(c=3)}"
            "S(Other){K(b=2)}");
  ASSERT_EQ(file->SectionCount(), 2u);
  EXPECT_EQ(file->Section(0)->Name(), "Main");
  EXPECT_EQ(file->Section(1)->Name(), "Other");
  file->CheckInvariants();
}

TEST(IniParse, MissingEndAndHeaderInsideBlockCloseTheBlocks) {
  EXPECT_EQ(Shape(*Parse("[S]\nobject A\nobject B\nk=1")), "S(S){O(A:){O(B:){K(k=1)}}}");
  // A header inside a block closes all blocks and is otherwise ignored.
  EXPECT_EQ(Shape(*Parse("[S]\nobject A\nobject B\n[T]\nk=1\n[U]\nm=2")),
            "S(S){O(A:){O(B:){}}K(k=1)}S(U){K(m=2)}");
}

TEST(IniParse, TooDeepObjectStartsBecomeText) {
  std::string text;
  for (size_t i = 0; i < kMaxIniObjectDepth + 2; ++i) text += "object o\n";
  text += "k=1\n";
  for (size_t i = 0; i < kMaxIniObjectDepth + 2; ++i) text += "end\n";
  text += "after=2\n";
  const auto file = Parse(text);
  const TIniList* deepest = file.Get();
  for (size_t i = 0; i < kMaxIniObjectDepth; ++i) {
    ASSERT_EQ(deepest->Objects().size(), 1u) << "depth " << i;
    deepest = deepest->Objects().front();
  }
  EXPECT_EQ(Shape(*deepest), "T(object o)T(object o)K(k=1)");
  // The surplus ends are stray ends at the file level.
  EXPECT_EQ(Shape(*file).substr(Shape(*file).rfind('}') + 1), "T(end)T(end)K(after=2)");
  EXPECT_EQ(Shape(*Parse(file->SaveToBytes(false))), Shape(*file));
}

// "Grüße" in each encoding the loader recognises.
TEST(IniParse, ByteOrderMarksAndAnsiGiveTheSameModel) {
  const std::string expected = "S(Grüße){K(Straße=Öl)}";
  const std::string utf8 =
      "\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F"
      "e]\r\nStra\xC3\x9F"
      "e=\xC3\x96l";
  const std::string ansi =
      "[Gr\xFC\xDF"
      "e]\r\nStra\xDF"
      "e=\xD6l";
  std::string utf16 = "\xFF\xFE";
  for (const char16_t unit : std::u16string(u"[Grüße]\r\nStraße=Öl")) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  }
  for (const std::string& bytes : {utf8, ansi, utf16}) {
    auto file = MakeRef<TIniFile>();
    ASSERT_TRUE(file->LoadFromBytes(bytes));
    EXPECT_EQ(Shape(*file), expected);
    // Names compare by simple case folding: capital sharp s folds to ß.
    EXPECT_EQ(ReadText(file.Get(), "GRÜẞE", "STRAẞE", ""), "Öl");
  }
}

TEST(IniParse, BigEndianMarkIsNotRecognised) {
  auto file = MakeRef<TIniFile>();
  ASSERT_TRUE(file->LoadFromBytes(std::string("\xFE\xFF\0a", 4)));
  EXPECT_EQ(FindKey(file.Get(), "a"), nullptr);
  EXPECT_EQ(file->Count(), 1u);
}

// Delivers blanks without end and announces the given size.
class TEndlessStream : public TMemoryStream {
 public:
  explicit TEndlessStream(int64_t announced) : announced_(announced) {}
  int64_t Read(void*, int64_t count) override { return count; }
  int64_t Size() const override { return announced_; }

 private:
  int64_t announced_;
};

TEST(IniParse, LoadFromStreamReadsFromThePositionAndRejectsHugeStreams) {
  auto stream = MakeRef<TMemoryStream>();
  const std::string text = "skip[S]\nk=7\n";
  stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  stream->Seek(4);
  auto file = MakeRef<TIniFile>();
  ASSERT_TRUE(file->LoadFromStream(*stream));
  EXPECT_EQ(ReadInt(file.Get(), "S", "k", 0), 7);

  // Rejected by its announced size, and by what it delivers when it announces none.
  auto huge = MakeRef<TEndlessStream>(TIniFile::kMaxLoadSize + 1);
  EXPECT_FALSE(file->LoadFromStream(*huge));
  EXPECT_EQ(file->Count(), 0u);
  auto unannounced = MakeRef<TEndlessStream>(0);
  EXPECT_FALSE(file->LoadFromStream(*unannounced));
}

class TFailingStream : public TMemoryStream {
 public:
  int64_t Read(void*, int64_t) override { throw EStreamReadError(); }
  int64_t Write(const void*, int64_t) override { throw EStreamWriteError(); }
};

TEST(IniParse, UnreadableStreamFailsAndLeavesTheModelEmpty) {
  auto file = Parse("a=1");
  auto stream = MakeRef<TFailingStream>();
  EXPECT_FALSE(file->LoadFromStream(*stream));
  EXPECT_EQ(file->Count(), 0u);
  EXPECT_FALSE(file->LoadFromFile("/nonexistent/dir/Project.vyr"));
}

}  // namespace
}  // namespace vyr
