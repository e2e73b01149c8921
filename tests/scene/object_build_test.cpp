#include <gtest/gtest.h>

#include "imaging/text/text_description.h"
#include "project/ini/lookup.h"
#include "scene/object_kind.h"
#include "scene/objects/vyr_box.h"
#include "scene/objects/vyr_button.h"
#include "scene/objects/vyr_text.h"
#include "scene/objects/vyr_video.h"
#include "scene/objects/vyr_viewport.h"
#include "scene_test_support.h"

namespace vyr {
namespace {

using test::KeyPoint;
using test::Obj;
using test::TRecordingDrawer;
using test::TSceneFixture;

TEST(ObjectTree, ClassWordsChooseTheKind) {
  TSceneFixture scene(
      Obj("foo", "Foo", "", Obj("lost", "Box", "")) + Obj("img", "IMAGE", "") +
      Obj("ani", "AniImage", "") + Obj("anim", "Image", "AnimEnable=1\n") +
      Obj("frame", "Frame", "") + Obj("box", "box", "") + Obj("split", "Splitter", "") +
      Obj("text", "Text", "Text=a\n") + Obj("button", "Button", "") + Obj("video", "Video", "") +
      Obj("view", "Viewport", "", Obj("st", "MaskStencil", "") + Obj("ct", "MaskContent", "")));
  TVyrSlide& slide = scene.Build();
  EXPECT_EQ(scene.Find("foo"), nullptr);
  EXPECT_EQ(scene.Find("lost"), nullptr);
  EXPECT_EQ(slide.Props().ChildCount(), 11);  // the skipped child keeps its property set
  EXPECT_EQ(slide.ChildCount(), 10);
  struct TCase {
    const char* name;
    int kind;
    bool (*isClass)(TVyrObject*);
  };
  const TCase cases[] = {
      {"img", kKindImage, [](TVyrObject* o) { return typeid(*o) == typeid(TVyrImage); }},
      {"ani", kKindAniImage, [](TVyrObject* o) { return typeid(*o) == typeid(TVyrImage); }},
      {"anim", kKindAniImage, [](TVyrObject* o) { return typeid(*o) == typeid(TVyrImage); }},
      {"frame", kKindFrame, [](TVyrObject* o) { return !!dynamic_cast<TVyrBox*>(o); }},
      {"box", kKindBox, [](TVyrObject* o) { return !!dynamic_cast<TVyrBox*>(o); }},
      {"split", kKindSplitter, [](TVyrObject* o) { return !!dynamic_cast<TVyrBox*>(o); }},
      {"text", kKindText, [](TVyrObject* o) { return !!dynamic_cast<TVyrText*>(o); }},
      {"button", kKindButton, [](TVyrObject* o) { return !!dynamic_cast<TVyrButton*>(o); }},
      {"video", kKindVideo, [](TVyrObject* o) { return !!dynamic_cast<TVyrVideo*>(o); }},
      {"view", kKindViewport, [](TVyrObject* o) { return !!dynamic_cast<TVyrViewPort*>(o); }},
      {"st", kKindMaskStencil, [](TVyrObject* o) { return !!dynamic_cast<TVyrMaskStencil*>(o); }},
      {"ct", kKindMaskContent, [](TVyrObject* o) { return !!dynamic_cast<TVyrMaskContent*>(o); }},
  };
  for (const auto& c : cases) {
    TVyrObject* object = scene.Find(c.name);
    ASSERT_TRUE(object) << c.name;
    EXPECT_EQ(object->Kind(), c.kind) << c.name;
    EXPECT_TRUE(c.isClass(object)) << c.name;
  }
}

TEST(ObjectTree, KeyDefaults) {
  TSceneFixture scene(Obj("box", "Box", "") + Obj("text", "Text", "") +
                      Obj("st", "MaskStencil", "") +
                      Obj("set", "Box",
                          "FitMode=cover\nPosMode=Absolute\nTranspForClick=1\nShadowEnable=1\n"
                          "ShadowColor=1,2,3\nHideMode=3\nChildInvis=1\nAction=nextslide\n"
                          "Size=20,30\nFillMode=VGradient\nColor1=10,20,30\nAlpha1=128\n") +
                      Obj("bad", "Box", "FitMode=Sideways\nTranspForClick=yes\nSize=x\n"));
  scene.Build();
  const TVyrObject& box = *scene.Find("box");
  EXPECT_EQ(box.FitMode(), TFitMode::PlaceInto);
  EXPECT_FALSE(box.TranspForClick());
  EXPECT_FALSE(box.Shadow().enabled);
  EXPECT_FLOAT_EQ(box.Shadow().size, 16);
  EXPECT_FLOAT_EQ(box.Shadow().opacity, 59);
  EXPECT_FLOAT_EQ(box.Shadow().distance, 1.5f);
  EXPECT_DOUBLE_EQ(box.Shadow().angle, 45);
  EXPECT_EQ(box.HideMode(), 0);
  EXPECT_TRUE(scene.Find("text")->Shadow().enabled);
  EXPECT_TRUE(scene.Find("st")->TranspForClick());
  const auto& text = dynamic_cast<const TVyrText&>(*scene.Find("text"));
  EXPECT_EQ(text.TextParams().fontName, "Arial");
  EXPECT_EQ(text.TextParams().alignment, kAlignCenter);
  EXPECT_EQ(text.Color(kStateHover), 0xFFFFFFFFu);
  EXPECT_FALSE(text.Antialiased());

  const auto& set = dynamic_cast<const TVyrBox&>(*scene.Find("set"));
  EXPECT_EQ(set.FitMode(), TFitMode::Cover);
  EXPECT_TRUE(set.TranspForClick());
  EXPECT_TRUE(set.Shadow().enabled);
  EXPECT_EQ(set.Shadow().color, 0xFF010203u);
  EXPECT_EQ(set.HideMode(), 3);
  EXPECT_TRUE(set.ChildInvis());
  EXPECT_EQ(set.Action().kind, TVyrActionKind::NextSlide);
  EXPECT_FLOAT_EQ(set.OwnWidth(), 20);
  EXPECT_EQ(set.Fill(), TBoxFill::VGradient);
  EXPECT_EQ(set.Color1(), 0x800A141Eu);

  const auto& bad = dynamic_cast<const TVyrBox&>(*scene.Find("bad"));
  EXPECT_EQ(bad.FitMode(), TFitMode::PlaceInto);
  EXPECT_FALSE(bad.TranspForClick());
  EXPECT_FLOAT_EQ(bad.OwnWidth(), 0);
}

TEST(ObjectTree, MissingGuidGetsOne) {
  TSceneFixture scene("object nameless:Box\nSize=10,10\nend\n");
  scene.Build();
  ASSERT_EQ(scene.slide->ChildCount(), 1);
  TIniObject* block = FindSection(scene.project.Get(), "Slide1")->Objects()[0]->Objects()[0];
  const TIniItem* guid = FindKey(block, "GUID");
  ASSERT_TRUE(guid);
  EXPECT_EQ(guid->Value().size(), 38u);
  EXPECT_EQ(scene.slide->Child(0)->Props().Guid(), guid->Value());
}

TEST(ObjectTree, ReloadReusesObjectsByGuid) {
  TSceneFixture scene("object a:Box\nGUID={A}\nSize=10,10\nend\nobject b:Box\nGUID={B}\nend\n");
  scene.Build();
  TVyrObject* a = scene.Find("a");
  // b goes, a moves behind a new c and changes its size.
  TIniObject* root = FindSection(scene.project.Get(), "Slide1")->Objects()[0];
  root->Clear();
  root->AddObject("c", "Box")->AddKey("GUID", "{C}");
  TIniObject* moved = root->AddObject("a", "Box");
  moved->AddKey("GUID", "{A}");
  moved->AddKey("Size", "30,40");
  scene.Rebuild();
  ASSERT_EQ(scene.slide->ChildCount(), 2);
  EXPECT_EQ(scene.slide->Child(1), a);
  EXPECT_FLOAT_EQ(a->OwnWidth(), 30);
  EXPECT_EQ(scene.Find("b"), nullptr);
  EXPECT_EQ(scene.slide->LinkedObject(&a->Props()), a);
}

TEST(ObjectTree, DeepNestingIsCapped) {
  TSceneFixture scene("");
  // Built in memory: the text parser has a nesting limit of its own.
  TIniObject* parent = FindSection(scene.project.Get(), "Slide1")->Objects()[0];
  for (int i = 0; i < 1000; ++i) {
    parent = parent->AddObject("n" + std::to_string(i), "Frame");
    parent->AddKey("GUID", "{" + std::to_string(i) + "}");
  }
  TVyrSlide& slide = scene.Build();
  int depth = 0;
  for (TVyrObject* o = &slide; o->ChildCount() > 0; o = o->Child(0)) ++depth;
  EXPECT_EQ(depth, kMaxObjectDepth);
  scene.At(0);
  TRecordingDrawer drawer;
  drawer.DrawItem(slide);
  EXPECT_EQ(slide.FindAt(500, 500, MouseHitFilter), nullptr);
}

TEST(ObjectTree, DeltaTimesBoundVisibility) {
  // The slide runs from 0 to 5000 ms.
  TSceneFixture scene(Obj("late", "Box", "DeltaTime1=500\n") +
                      Obj("early", "Box", "DeltaTime2=500\n"));
  scene.Build();
  struct TCase {
    double t;
    bool late, early;
  };
  const TCase cases[] = {{0, false, true},     {499, false, true},  {500, true, true},
                         {4500, true, true},   {4501, true, false}, {5000, true, false},
                         {5001, false, false}, {-1, false, false}};
  for (const auto& c : cases) {
    scene.slide->Advance(true, c.t);
    EXPECT_EQ(scene.Find("late")->Visible(), c.late) << c.t;
    EXPECT_EQ(scene.Find("early")->Visible(), c.early) << c.t;
  }
}

TEST(ObjectTree, OnlyTheLastCommentTextKeepsTheFlag) {
  TSceneFixture scene(Obj("first", "Text", "IsComment=1\n") +
                      Obj("f", "Frame", "", Obj("second", "Text", "IsComment=1\n")) +
                      Obj("third", "Text", "IsComment=0\n"));
  scene.Build();
  auto* first = dynamic_cast<TVyrText*>(scene.Find("first"));
  auto* second = dynamic_cast<TVyrText*>(scene.Find("second"));
  EXPECT_FALSE(first->IsComment());
  EXPECT_TRUE(second->IsComment());
  EXPECT_EQ(scene.slide->CommentText(), second);
}

TEST(TextObject, HeightFollowsScaleYWhateverTheFont) {
  for (const char* font : {"Arial", "DejaVu Serif"}) {
    TSceneFixture scene(Obj("t", "Text", "Text=Hello\nFontName=" + std::string(font) + "\n",
                            KeyPoint("Time=0\nScaleX=20\nScaleY=10\n")),
                        1000, 800);
    scene.Build();
    scene.At(0);
    TVyrObject* t = scene.Find("t");
    ASSERT_TRUE(t->OwnHeight() > 0) << font;
    TVec3 c[4];
    t->Corners(c);
    EXPECT_NEAR(c[3].y - c[0].y, 80, 0.01) << font;  // a tenth of the parent's 800
    // ScaleX / ScaleY = 2: twice the picture's own proportions.
    EXPECT_NEAR((c[1].x - c[0].x) / (c[3].y - c[0].y), 2 * t->OwnWidth() / t->OwnHeight(), 0.001);
  }
}

TEST(TextObject, RequestedPictureDescribesItsLines) {
  TSceneFixture scene(Obj("t", "Text", "Text=Hello\nFontName=Arial\n"));
  scene.Build();
  scene.At(0);
  auto* t = dynamic_cast<TVyrText*>(scene.Find("t"));
  const std::string name = t->RequestName();
  ASSERT_EQ(name.rfind("Text: ", 0), 0u);
  const TTextDescription description = ParseTextDescription(name);
  EXPECT_EQ(description.params.fontName, "Arial");
  EXPECT_EQ(description.lines, std::vector<std::string>{"Hello"});
}

TEST(TextObject, MacrosExpandFromTheSlideAndItsMainPicture) {
  TSceneFixture scene(Obj("p", "Image", "ImageName=photos\\holiday.bmp\nImageIndex=0\n") +
                      Obj("t", "Text",
                          "Text=<%SlideIndex%>/<%SlidesCount%> <%MainImg.Width%>x"
                          "<%MainImg.Height%>\\n<%MainImg.FileName%> <%MainImg.Exif.Comment%>|\n"));
  scene.source->files["photos\\holiday.bmp"] = test::MakeBmp(64, 48);
  scene.Build();
  auto* t = dynamic_cast<TVyrText*>(scene.Find("t"));
  const std::vector<std::string> lines = t->ExpandedLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "1/7 64x48");
  EXPECT_EQ(lines[1], "holiday |");  // a BMP has no EXIF: empty
}

TEST(SlideMouse, ButtonAndTextStates) {
  TSceneFixture scene(Obj("b", "Button", "Action=nextslide\n",
                          KeyPoint("Time=0\nPosition=0,-50\n") + Obj("cap", "Text", "Text=Go\n")) +
                      Obj("t", "Text", "Text=Link\nAction=gotoslide(3)\n",
                          KeyPoint("Time=0\nPosition=0,50\nScaleY=10\n")) +
                      Obj("box", "Box", "Size=100,100\nFitMode=None\nAction=exit\n",
                          KeyPoint("Time=0\nPosition=-80,0\n")));
  scene.Build();
  scene.At(0);
  auto* button = dynamic_cast<TVyrButton*>(scene.Find("b"));
  auto* caption = button->Caption();
  ASSERT_TRUE(caption);
  // Without its picture the button takes its caption's size.
  EXPECT_GT(button->OwnWidth(), 0);
  EXPECT_FLOAT_EQ(button->OwnWidth(), caption->OwnWidth());
  TVec3 c[4];
  button->Corners(c);
  const float bx = (c[0].x + c[2].x) / 2, by = (c[0].y + c[2].y) / 2;

  TMouseHit hit = scene.slide->HandleMouse(0, bx, by, true, kMouseMove, kMouseButtonLeft);
  EXPECT_EQ(hit.object == button || hit.object == caption, true);
  EXPECT_EQ(button->MouseState(), kStateHover);
  EXPECT_EQ(caption->MouseState(), kStateHover);
  hit = scene.slide->HandleMouse(0, bx, by, true, kMousePress, kMouseButtonLeft);
  EXPECT_EQ(hit.object->Pressed(), true);
  EXPECT_TRUE(hit.action.Empty());
  hit = scene.slide->HandleMouse(0, bx, by, true, kMouseRelease, kMouseButtonLeft);
  EXPECT_FALSE(hit.action.Empty());
  EXPECT_FALSE(hit.object->Pressed());
  // Moving away returns every state to normal.
  hit = scene.slide->HandleMouse(0, 999, 999, true, kMouseMove, kMouseButtonLeft);
  EXPECT_EQ(hit.object, nullptr);
  EXPECT_EQ(button->MouseState(), kStateNormal);
  // Outside the window, or with other flags, nothing is hit.
  EXPECT_EQ(scene.slide->HandleMouse(0, bx, by, false, kMouseMove, 0).object, nullptr);
  EXPECT_EQ(scene.slide->HandleMouse(4, bx, by, true, kMouseMove, 0).object, nullptr);
  EXPECT_EQ(button->MouseState(), kStateNormal);

  // A plain object: press then release runs its action.
  hit = scene.slide->HandleMouse(0, 120, 500, true, kMousePress, kMouseButtonLeft);
  EXPECT_EQ(hit.object, scene.Find("box"));
  hit = scene.slide->HandleMouse(0, 120, 500, true, kMouseRelease, kMouseButtonLeft);
  EXPECT_EQ(hit.action.kind, TVyrActionKind::Exit);
  // A release without a press runs nothing.
  hit = scene.slide->HandleMouse(0, 120, 500, true, kMouseRelease, kMouseButtonLeft);
  EXPECT_TRUE(hit.action.Empty());
}

TEST(SlideMouse, AnObjectWithoutAValidPlacementIsTestedAtTheRootScale) {
  // A 500 x 500 design shown at 1000 x 1000: the root scale is 200 %. The box's zero ScaleX
  // leaves no placement to invert; its 100 x 100 rectangle is tested at 200 x 200 around
  // its origin, the window centre.
  TSceneFixture scene(Obj("flat", "Box", "Size=100,100\nFitMode=None\nAction=exit\n",
                          KeyPoint("Time=0\nScaleX=0\n")),
                      1000, 1000, 500, 500);
  scene.Build();
  scene.At(0);
  TVyrObject* flat = scene.Find("flat");
  ASSERT_TRUE(flat);
  ASSERT_FALSE(flat->PlacementValid());
  EXPECT_EQ(scene.slide->FindAt(500, 500, MouseHitFilter), flat);
  EXPECT_EQ(scene.slide->FindAt(590, 410, MouseHitFilter), flat);
  EXPECT_EQ(scene.slide->FindAt(610, 500, MouseHitFilter), nullptr);
  EXPECT_EQ(scene.slide->FindAt(500, 390, MouseHitFilter), nullptr);
}

TEST(SlideDrawing, ViewportDrawsContentThroughStencil) {
  TSceneFixture scene(Obj("v", "Viewport", "Size=100,100\n",
                          Obj("s", "MaskStencil", "", Obj("sb", "Box", "Size=10,10\n")) +
                              Obj("c", "MaskContent", "", Obj("cb", "Box", "Size=10,10\n")) +
                              Obj("other", "Box", "Size=10,10\n")) +
                      Obj("lonely", "Viewport", "Size=100,100\n", Obj("s2", "MaskStencil", "")) +
                      Obj("split", "Splitter", "Size=100,100\n") +
                      Obj("clear", "Box", "Size=100,100\nAlpha1=0\n"));
  scene.Build();
  scene.At(0);
  TRecordingDrawer drawer;
  drawer.DrawItem(*scene.slide);
  EXPECT_EQ(drawer.Count("masked"), 1);
  // Background, stencil box, content box, the viewport's other child.
  EXPECT_EQ(drawer.Count("box"), 4);
  EXPECT_FLOAT_EQ(scene.Find("c")->OwnWidth(), scene.Find("v")->OwnWidth());
}

}  // namespace
}  // namespace vyr
