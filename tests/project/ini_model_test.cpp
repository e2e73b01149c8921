// The model's structure: insertion, removal, lookups, clone and assign.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "foundation/exceptions.h"
#include "ini_test_util.h"
#include "project/ini/ini.h"

namespace vyr {
namespace {

using testing::Numbered;
using testing::Parse;
using testing::Shape;

TEST(IniModel, LastDuplicateKeyWinsAndLookupsIgnoreCase) {
  const auto file = Parse("[S]\na=1\nA=2\n;a=3\nobject a:C\nend\n");
  const TIniSection* s = FindSection(file.Get(), "s");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(ReadText(FindKey(s, "a")), "2");
  EXPECT_EQ(FindKey(s, "a")->ItemIndex(), 1u);
  EXPECT_EQ(FindObject(s, "A"), s->Objects().front());
  EXPECT_EQ(FindKey(s, ""), nullptr);
  EXPECT_EQ(FindKey(nullptr, "a"), nullptr);
  EXPECT_EQ(FindSection(file.Get(), ""), file.Get());
  EXPECT_EQ(FindSection(nullptr, "S"), nullptr);
  EXPECT_EQ(FindSection(file.Get(), "a"), nullptr);
}

TEST(IniModel, IndexStaysRightWhileTheListGrowsAndShrinks) {
  auto file = MakeRef<TIniFile>();
  TIniSection* s = FindOrAddSection(file.Get(), "Keys");
  EXPECT_EQ(FindKey(s, "k0"), nullptr);  // builds the index while small
  for (int i = 0; i < 300; ++i) WriteInt(FindOrAddKey(s, Numbered("k", i)), i);
  s->Insert(0, MakeRef<TIniItem>("k5", "front"));  // earlier in text: loses to the old k5
  for (int i = 0; i < 300; i += 7) {
    EXPECT_EQ(ReadInt(FindKey(s, Numbered("K", i)), -1), i) << i;
  }
  s->Remove(FindKey(s, "k5"));
  EXPECT_EQ(ReadText(FindKey(s, "k5")), "front");
  s->Remove(FindKey(s, "k5"));
  EXPECT_EQ(FindKey(s, "k5"), nullptr);
  EXPECT_EQ(FindKeyNumbered(s, "k", 299), FindKey(s, "k299"));
  file->CheckInvariants();
}

TEST(IniModel, ThreadsMayShareAModelWhoseIndexIsNotBuiltYet) {
  std::string text;
  for (int s = 0; s < 50; ++s) {
    text += Numbered("[S", s) + "]\n";
    for (int k = 0; k < 40; ++k) text += Numbered("k", k) + "=" + std::to_string(s * k) + "\n";
  }
  const auto file = Parse(text);
  std::vector<std::thread> readers;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&, t] {
      for (int s = 0; s < 50; ++s) {
        const TIniSection* section = FindSection(file.Get(), Numbered("s", s));
        for (int k = 0; k < 40; ++k) {
          wrong[t] += ReadInt(FindKey(section, Numbered("K", k)), -1) != s * k;
        }
      }
    });
  }
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(IniModel, KeysGoToTheKeyInsertionPoint) {
  auto file = Parse("[S]\na=1\n;note\n\nobject O\nend\n");
  TIniSection* s = FindSection(file.Get(), "S");
  EXPECT_EQ(s->KeyInsertPoint(), 1u);
  FindOrAddKey(s, "b");
  s->AddObject("P", "Cls");
  EXPECT_EQ(Shape(*s), "K(a=1)K(b=)T(;note)T()O(O:){}O(P:Cls){}");
  s->Remove(FindKey(s, "a"));
  EXPECT_EQ(s->KeyInsertPoint(), 1u);
  s->Insert(0, MakeRef<TIniItem>("", ";top"));
  EXPECT_EQ(s->KeyInsertPoint(), 2u);
  // Without object blocks a new block goes to the key insertion point.
  auto bare = Parse("k=1\n;tail");
  bare->AddObject("X", "");
  EXPECT_EQ(Shape(*bare), "K(k=1)O(X:){}T(;tail)");
  file->CheckInvariants();
}

TEST(IniModel, InvariantsHoldAfterInsertRemoveAndMove) {
  auto file = Parse("[A]\nobject o1\nend\nk=1\nobject o2\nend\n[B]\n[C]\n");
  TIniSection* a = FindSection(file.Get(), "A");
  // Move o2 in front of o1: the object list follows item order.
  TIniObject* o2 = FindObject(a, "o2");
  a->Move(o2, 0);
  EXPECT_EQ(o2->ObjectIndex(), 0u);
  EXPECT_EQ(FirstObject(a), o2);
  EXPECT_EQ(NextObject(a, o2), FindObject(a, "o1"));
  EXPECT_EQ(NextObject(a, FindObject(a, "o1")), nullptr);
  // Sections: remove one, insert a new one in front.
  file->Remove(FindSection(file.Get(), "B"));
  ASSERT_TRUE(file->Insert(0, MakeRef<TIniSection>("Mid")));
  ASSERT_EQ(file->SectionCount(), 3u);
  EXPECT_EQ(file->Section(0)->Name(), "Mid");
  EXPECT_EQ(file->Section(1)->Name(), "A");
  EXPECT_EQ(FindSection(file.Get(), "c")->SectionIndex(), 2u);
  // Attaching elsewhere detaches first.
  TIniSection* c = FindSection(file.Get(), "C");
  TIniObject* o1 = FindObject(a, "o1");
  ASSERT_TRUE(c->Add(TRef<TIniItem>::Share(o1)));
  EXPECT_EQ(o1->Owner(), c);
  EXPECT_EQ(FindObject(a, "o1"), nullptr);
  EXPECT_EQ(a->Objects().size(), 1u);
  file->CheckInvariants();
}

TEST(IniModel, AListCannotBeAttachedInsideItself) {
  auto file = Parse("[S]\nobject Outer\nobject Inner\nend\nend\n");
  TIniObject* outer = FindObject(FindSection(file.Get(), "S"), "Outer");
  TIniObject* inner = FindObject(outer, "Inner");
  EXPECT_FALSE(inner->Add(TRef<TIniItem>::Share(outer)));
  EXPECT_FALSE(outer->Add(TRef<TIniItem>::Share(outer)));
  EXPECT_EQ(outer->Owner(), FindSection(file.Get(), "S"));
  file->CheckInvariants();
}

TEST(IniModel, DetachingAForeignItemIsAnAssertion) {
  auto file = Parse("[S]\na=1\n[T]\n");
  TIniItem* key = FindKey(FindSection(file.Get(), "S"), "a");
  try {
    FindSection(file.Get(), "T")->Detach(key);
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(
        std::string(e.what()).rfind("Asseertion with message: 'TIniItem.Index mismatch' (", 0), 0u)
        << e.what();
  }
}

TEST(IniModel, ClearDetachesItemsStillReferencedElsewhere) {
  auto file = Parse("[S]\na=1\n");
  TRef<TIniSection> kept = TRef<TIniSection>::Share(FindSection(file.Get(), "S"));
  file->Clear();
  EXPECT_EQ(kept->Owner(), nullptr);
  EXPECT_EQ(file->SectionCount(), 0u);
  EXPECT_EQ(ReadInt(FindKey(kept.Get(), "a"), 0), 1);
}

TEST(IniModel, FindObjectOfClassTakesTheLastMatchingBlock) {
  const auto file = Parse(
      "object B:Text\nend\nobject B:Button\nk=1\nend\nobject B:button\nk=2\nend\n"
      "object B:Text\nend\n");
  const TIniObject* found = FindObjectOfClass(file.Get(), "b", "BUTTON");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(ReadInt(FindKey(found, "k"), 0), 2);
  EXPECT_EQ(FindObjectOfClass(file.Get(), "B", "Picture"), nullptr);
  EXPECT_EQ(FindObject(file.Get(), "B")->ObjectIndex(), 3u);
}

TEST(IniModel, FindByPathCreatesWhatIsMissing) {
  auto file = Parse("[Slide1]\nobject Pic:Picture\n  x=1\nend\n;tail\n");
  EXPECT_EQ(ReadInt(FindByPath(file.Get(), "slide1:pic:X"), 0), 1);
  // An empty part names the first block.
  EXPECT_EQ(FindByPath(file.Get(), "Slide1::x"),
            FindKey(FindObject(FindSection(file.Get(), "Slide1"), "Pic"), "x"));
  // Missing section, block and key are created.
  TIniItem* made = FindByPath(file.Get(), "Slide2:Btn:Inner:y");
  ASSERT_NE(made, nullptr);
  WriteInt(made, 9);
  EXPECT_EQ(
      ReadInt(
          FindKey(FindObject(FindObject(FindSection(file.Get(), "Slide2"), "Btn"), "Inner"), "y"),
          0),
      9);
  // A new block goes after the last block, before trailing text.
  FindByPath(file.Get(), "Slide1:New:z");
  EXPECT_EQ(Shape(*FindSection(file.Get(), "Slide1")),
            "O(Pic:Picture){K(x=1)}O(New:){K(z=)}T(;tail)");
  // One part at the file level names an item of the root list; the last part may name a block.
  EXPECT_EQ(FindByPath(file.Get(), "top")->Owner(), file.Get());
  EXPECT_EQ(FindByPath(file.Get(), "Slide1:Pic"),
            FindObject(FindSection(file.Get(), "Slide1"), "Pic"));
  EXPECT_EQ(FindByPath(file.Get(), "Slide1:"), nullptr);
  EXPECT_EQ(FindByPath(nullptr, "a:b"), nullptr);
  file->CheckInvariants();
}

TEST(IniModel, NewSectionsAreAppendedWithABlankLine) {
  auto file = Parse("[A]\nk=1");
  TIniSection* b = FindOrAddSection(file.Get(), "B");
  EXPECT_EQ(FindOrAddSection(file.Get(), "b"), b);
  WriteText(FindOrAddKey(b, "n"), "v");
  EXPECT_EQ(file->SaveToBytes(false), "[A]\r\nk=1\r\n[B]\r\nn=v\r\n\r\n");
}

TEST(IniModel, CloneAndAssignAreDeepCopies) {
  auto file = Parse("t=0\n[S]\nobject O:C\n  k=1\nend\n[T]\nm=2\n");
  TRef<TIniFile> copy = file->CloneFile();
  EXPECT_EQ(Shape(*copy), Shape(*file));
  EXPECT_EQ(copy->SectionCount(), 2u);
  WriteInt(FindByPath(copy.Get(), "S:O:k"), 5);
  EXPECT_EQ(ReadInt(FindByPath(file.Get(), "S:O:k"), 0), 1);
  copy->CheckInvariants();

  // Assigning one of its own sections to the file.
  copy->Assign(*FindSection(copy.Get(), "S"));
  EXPECT_EQ(Shape(*copy), "O(O:C){K(k=5)}");
  // Assigning a plain item parses its text.
  copy->AssignItem(*FindKey(FindSection(file.Get(), "T"), "m"));
  EXPECT_EQ(Shape(*copy), "K(m=2)");
  copy->CheckInvariants();
}

}  // namespace
}  // namespace vyr
