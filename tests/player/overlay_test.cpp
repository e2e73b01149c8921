#include <gtest/gtest.h>

#include <cstdlib>

#include "player/overlay/third_slide.h"
#include "scene/objects/vyr_dialog.h"
#include "scene/scene_test_support.h"

namespace vyr::test {
namespace {

TEST(OverlayPlacement, NinePositionsWithOffsets) {
  const TIntRect area{0, 0, 200, 100};
  struct TCase {
    int position;
    int left, top;
  };
  // A 20 x 10 picture, offset 10 (% of half the area): 10 px in x, 5 px in y.
  const TCase cases[] = {{kLeftTop, 10, 5},     {kTop, 90, 5},           {kRightTop, 170, 5},
                         {kRight, 170, 45},     {kRightBottom, 170, 85}, {kBottom, 90, 85},
                         {kLeftBottom, 10, 85}, {kLeft, 10, 45},         {kCenter, 90, 45}};
  for (const TCase& c : cases) {
    const TIntRect r = PlaceByAnchor(area, 20, 10, NinePositionAnchor(c.position, 10));
    EXPECT_EQ(r.left, c.left) << c.position;
    EXPECT_EQ(r.top, c.top) << c.position;
    EXPECT_EQ(r.Width(), 20);
  }
  EXPECT_EQ(NinePositionByName("bottom"), kBottom);
  EXPECT_EQ(NinePositionByName("RIGHT-top"), kRightTop);
  EXPECT_EQ(NinePositionByName("middle"), kCenter);
  EXPECT_EQ(LogoPosition(7), kRightBottom);
  EXPECT_EQ(LogoPosition(4), kCenter);
}

// A show in memory: the project's [Main] keys and files.
class OverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VYR_DPI", "96", 1);
    source = MakeRef<TMemoryFileSource>();
  }
  TRef<TThirdSlide> Build(const std::string& mainKeys, TIntRect slideRect = {100, 50, 500, 350},
                          TIntSize slideSize = {400, 300}, bool noPanel = false) {
    project = MakeRef<TIniFile>();
    project->LoadFromUtf8("[Main]\n" + mainKeys);
    TOverlayParams params;
    params.accessor = MakeRef<TFileAccessor>(source, "/nonexistent-show-folder/");
    params.project = project;
    params.slideRect = slideRect;
    params.windowSize = {600, 400};
    params.slideSize = slideSize;
    params.noPanel = noPanel;
    params.showDuration = 60000;
    params.musicVolume = 0.8;
    params.callbacks.isPlaying = [this] { return playing; };
    params.callbacks.seek = [this](double ms) { seeks.push_back(ms); };
    params.clock = [this] { return now; };
    return BuildOverlay(params);
  }
  // A video-style bar in "nav/": 400 x 20 at scale 1, with its exit button.
  void AddVideoBar() {
    source->files["nav/bar.ini"] = Bytes(
        "[Common]\nVideoStyle=1\nflnm_back=back.bmp\n[Pixel positions]\nBarSize=400,20\n"
        "BtnSize=16,16\nDigitSize=6,10\nTrackHeight=4\nVolumeControlLength=40\nLeftSpace=4\n"
        "ButtonsTrackSpace=4\nTrackDigitsSpace=2\nDigitsSoundBtnSpace=2\nSoundBtnTrackSpace=4\n"
        "RightSpace=4\n[Trackbar]\nflnm_Line=line.bmp\nflnm_Polzun=slider.bmp\n"
        "[Buttons]\nflnm_Normal=strip.bmp\nflnm_Hover=strip.bmp\nflnm_Click=strip.bmp\n");
    source->files["nav/back.bmp"] = MakeBmp(8, 20, 30, 30, 30);
    source->files["nav/line.bmp"] = MakeBmp(6, 4, 128, 128, 128);
    source->files["nav/slider.bmp"] = MakeBmp(4, 8, 255, 255, 255);
    source->files["nav/strip.bmp"] = MakeBmp(112, 16, 0, 200, 0);
  }
  static std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
  static constexpr const char* kPanelKeys =
      "opt_fcp=1\nopt_nav_inifile=nav/bar.ini\nopt_newnavbuttons_count=2\n"
      "opt_newnavbutton1=backward\nopt_newnavbutton2=forward\n";

  TRef<TMemoryFileSource> source;
  TRef<TIniFile> project;
  int64_t now = 1000;
  bool playing = true;
  std::vector<double> seeks;
};

TEST_F(OverlayTest, LogoPlacementHalvingOpacityAndCorrection) {
  source->files["logo.bmp"] = MakeBmp(60, 30);
  // Position 7 with offset 20: the bottom-right corner 40 and 30 pixels inside that corner.
  auto overlay = Build(
      "opt_logo=1\nopt_logo_fn=logo.bmp\nopt_logo_pos=7\nopt_logo_offset=20\n"
      "opt_logo_opacity=40\n");
  ASSERT_GE(overlay->LogoRecord(), 0);
  const TOverlayRecord& logo = overlay->Record(overlay->LogoRecord());
  EXPECT_FLOAT_EQ(logo.left + 60 * logo.scaleX, 460);
  EXPECT_FLOAT_EQ(logo.top + 30 * logo.scaleY, 320);
  EXPECT_FLOAT_EQ(30 * logo.scaleY, 30);  // 10 % of the slide rectangle's height
  EXPECT_FLOAT_EQ(logo.params.opacity, 40);

  // A large logo is halved while both sides stay at least twice the target: 400 x 200 for a
  // 60 x 30 target becomes 100 x 50.
  source->files["big.bmp"] = MakeBmp(400, 200);
  auto halved = Build("opt_logo=1\nopt_logo_fn=big.bmp\n");
  EXPECT_EQ(halved->Record(halved->LogoRecord()).picture->Width(), 100);
  EXPECT_EQ(halved->Record(halved->LogoRecord()).picture->Height(), 50);

  // A window that stretches the slide 4 : 1 against its 4 : 3 design widens the logo by k.
  auto stretched = Build("opt_logo=1\nopt_logo_fn=logo.bmp\n", {0, 0, 400, 150}, {800, 600});
  EXPECT_DOUBLE_EQ(stretched->XCorrection(), 2);
  const TOverlayRecord& wide = stretched->Record(stretched->LogoRecord());
  // The 60 x 30 logo is halved to 30 x 15 for its 30 x 15 target, then drawn
  // round(30 x 15 / 15 x 2) = 60 wide.
  EXPECT_EQ(wide.picture->Width(), 30);
  EXPECT_FLOAT_EQ(wide.picture->Width() * wide.scaleX, 60);
  EXPECT_FLOAT_EQ(wide.picture->Height() * wide.scaleY, 15);

  EXPECT_LT(Build("opt_logo=1\nopt_logo_fn=logo.bmp\nopt_logo_size=0\n")->LogoRecord(), 0);
  EXPECT_LT(Build("opt_logo=1\nopt_logo_fn=\n")->LogoRecord(), 0);
  EXPECT_GE(Build("opt_logo=1\nopt_logo_fn=missing.bmp\n")->LogoRecord(), 0);  // placeholder
  auto noPanel = Build("opt_logo=1\nopt_logo_fn=logo.bmp\nopt_fcp=0\n");
  EXPECT_EQ(noPanel->Panel(), nullptr);
  EXPECT_GE(noPanel->LogoRecord(), 0);
}

TEST_F(OverlayTest, PanelPlacesTheBarAndRoutesClicks) {
  AddVideoBar();
  auto overlay = Build(kPanelKeys);
  TNavPanel* panel = overlay->Panel();
  ASSERT_TRUE(panel && panel->Bar());
  // Window-wide area (600 x 400): the bar as wide as the area at its bottom, the exit
  // picture at its top right.
  EXPECT_EQ(panel->BarRect(), (TIntRect{0, 380, 600, 400}));
  EXPECT_EQ(panel->ExitRect(), (TIntRect{580, 0, 600, 20}));
  // A spot of the bar without a button: kind 20, handled, not given to the slides.
  TPointerRoute route =
      overlay->RoutePointer(kNavLeftHeld, 500, 383, kNavButtonDown, kNavLeftButton);
  EXPECT_TRUE(route.handled);
  EXPECT_EQ(route.action.kind, TVyrActionKind::PanelHandled);
  EXPECT_TRUE(overlay->IsOverPanel());
  overlay->RoutePointer(0, 500, 383, kNavButtonUp, kNavLeftButton);
  // The forward button (bar x 36 ... 52) gives kind 3; the play button kind 5.
  EXPECT_EQ(
      overlay->RoutePointer(kNavLeftHeld, 41, 390, kNavButtonDown, kNavLeftButton).action.kind,
      TVyrActionKind::NextSlide);
  overlay->RoutePointer(0, 41, 390, kNavButtonUp, kNavLeftButton);
  EXPECT_EQ(
      overlay->RoutePointer(kNavLeftHeld, 10, 390, kNavButtonDown, kNavLeftButton).action.kind,
      TVyrActionKind::Pause);
  overlay->RoutePointer(0, 10, 390, kNavButtonUp, kNavLeftButton);
  // Upper half: the exit picture's button gives kind 1.
  EXPECT_EQ(
      overlay->RoutePointer(kNavLeftHeld, 590, 10, kNavButtonDown, kNavLeftButton).action.kind,
      TVyrActionKind::Exit);
  overlay->RoutePointer(0, 590, 10, kNavButtonUp, kNavLeftButton);
  // Elsewhere nothing is handled; the pointer-left event reaches no bar arithmetic.
  route = overlay->RoutePointer(0, 300, 200, kNavMove, 0);
  EXPECT_FALSE(route.handled);
  route = overlay->RoutePointer(0, 2147483647, 2147483647, kNavMove, 0);
  EXPECT_FALSE(route.handled);
  // A captured frame leaves the panel out.
  overlay->SetPanelHidden(true);
  EXPECT_TRUE(overlay->Record(0).hidden);
}

TEST_F(OverlayTest, BadDescriptionsLeaveThePanelWithoutABar) {
  source->files["logo.bmp"] = MakeBmp(60, 30);
  auto missing = Build(std::string(kPanelKeys) + "opt_logo=1\nopt_logo_fn=logo.bmp\n");
  ASSERT_TRUE(missing->Panel());
  EXPECT_EQ(missing->Panel()->Bar(), nullptr);
  EXPECT_FALSE(
      missing->RoutePointer(kNavLeftHeld, 300, 390, kNavButtonDown, kNavLeftButton).handled);
  source->files["nav/bar.ini"] =
      Bytes("[Common]\nColsCount=1\nRowsCount=1\n[CellWithObjects]\nCell=1\n");
  auto malformed = Build(std::string(kPanelKeys) + "opt_logo=1\nopt_logo_fn=logo.bmp\n");
  EXPECT_EQ(malformed->Panel()->Bar(), nullptr);
  EXPECT_GE(malformed->LogoRecord(), 0);
}

TEST_F(OverlayTest, AutoHideFadesOnTheClock) {
  AddVideoBar();
  auto overlay = Build(std::string(kPanelKeys) +
                       "opt_hidenavbar=1\nopt_nav_hideinterval=3\nopt_nav_fadein=500\n"
                       "opt_nav_hidefadeout=1000\n");
  ASSERT_TRUE(overlay->AutoHideEnabled());
  overlay->UpdateFrame(0);
  EXPECT_EQ(overlay->PanelOpacity(), 0);          // starts invisible
  overlay->RoutePointer(0, 10, 10, kNavMove, 0);  // the first position is only recorded
  overlay->RoutePointer(0, 15, 10, kNavMove, 0);  // 5 pixels: no movement
  overlay->UpdateFrame(0);
  EXPECT_EQ(overlay->PanelOpacity(), 0);
  overlay->RoutePointer(0, 16, 10, kNavMove, 0);  // 6 pixels
  overlay->UpdateFrame(0);                        // the state turns: showing
  now += 250;
  overlay->UpdateFrame(0);
  EXPECT_DOUBLE_EQ(overlay->PanelOpacity(), 50);
  EXPECT_FLOAT_EQ(overlay->Record(0).params.opacity, 50);
  now += 250;
  overlay->UpdateFrame(0);
  EXPECT_DOUBLE_EQ(overlay->PanelOpacity(), 100);
  now = 1000 + 3001;  // 3 s after the movement
  overlay->UpdateFrame(0);
  now += 500;
  overlay->UpdateFrame(0);
  EXPECT_DOUBLE_EQ(overlay->PanelOpacity(), 50);  // half way through the fade-out
  overlay->RoutePointer(0, 30, 10, kNavMove, 0);  // a movement reverses it from there
  overlay->UpdateFrame(0);
  overlay->UpdateFrame(0);
  EXPECT_DOUBLE_EQ(overlay->PanelOpacity(), 50);
  now += 125;
  overlay->UpdateFrame(0);
  EXPECT_DOUBLE_EQ(overlay->PanelOpacity(), 75);
  // Over the panel it never hides.
  overlay->RoutePointer(0, 300, 390, kNavMove, 0);
  now += 10000;
  overlay->UpdateFrame(0);
  overlay->UpdateFrame(0);
  EXPECT_DOUBLE_EQ(overlay->PanelOpacity(), 100);

  auto plain = Build(kPanelKeys);
  plain->UpdateFrame(0);
  EXPECT_FALSE(plain->AutoHideEnabled());
  EXPECT_FLOAT_EQ(plain->Record(0).params.opacity, 100);
}

class OverlayDialogs : public OverlayTest {
 protected:
  TOverlayDialog Dialog(const std::string& name, bool pause = true) {
    return TOverlayDialog{MakeRef<TVyrDialog>(nullptr, nullptr, true), name, pause};
  }
  void Frame(TThirdSlide& overlay) {
    if (TOverlayDialog* top = overlay.TopDialog()) top->drawn = true;
    overlay.UpdateFrame(0);
  }
};

TEST_F(OverlayDialogs, FadesInAndOutAndIgnoresRequestsWhileClosing) {
  auto overlay = Build("");
  overlay->CloseDialog();  // nothing open: nothing happens
  overlay->AddDialog(Dialog("help"));
  ASSERT_EQ(overlay->Dialogs().size(), 1u);
  Frame(*overlay);
  EXPECT_FLOAT_EQ(overlay->Dialogs()[0].fade, 0);
  now += 100;
  Frame(*overlay);
  EXPECT_FLOAT_EQ(overlay->Dialogs()[0].fade, 50);
  now += 100;
  Frame(*overlay);
  EXPECT_FLOAT_EQ(overlay->Dialogs()[0].fade, 100);
  // Asking for the open dialog again closes it with a fade-out.
  overlay->AddDialog(Dialog("help"));
  EXPECT_EQ(overlay->Dialogs().size(), 1u);
  EXPECT_TRUE(overlay->DialogClosing());
  Frame(*overlay);
  now += 100;
  Frame(*overlay);
  EXPECT_FLOAT_EQ(overlay->Dialogs()[0].fade, 50);
  overlay->AddDialog(Dialog("custom"));  // ignored during the fade-out
  EXPECT_EQ(overlay->Dialogs().size(), 1u);
  now += 100;
  Frame(*overlay);
  Frame(*overlay);
  EXPECT_TRUE(overlay->Dialogs().empty());
  overlay->AddDialog(Dialog("custom"));
  EXPECT_EQ(overlay->Dialogs().size(), 1u);
}

TEST_F(OverlayDialogs, TheFadeFollowsItsDialogAndPausingDialogsClose) {
  auto overlay = Build("");
  overlay->AddDialog(Dialog("a"));
  Frame(*overlay);
  now += 300;
  Frame(*overlay);
  overlay->AddDialog(Dialog("b", false));
  Frame(*overlay);
  now += 100;
  overlay->RemoveDialog(0);  // the dialog below the fading one goes
  Frame(*overlay);
  ASSERT_EQ(overlay->Dialogs().size(), 1u);
  EXPECT_EQ(overlay->Dialogs()[0].name, "b");
  EXPECT_FLOAT_EQ(overlay->Dialogs()[0].fade, 50);
  EXPECT_FALSE(overlay->HasPausingDialog());

  overlay->AddDialog(Dialog("c"));
  overlay->AddDialog(Dialog("d", false));
  overlay->AddDialog(Dialog("e"));
  EXPECT_TRUE(overlay->HasPausingDialog());
  overlay->ClosePausingDialogs();  // "c" goes at once, "e" fades out
  ASSERT_EQ(overlay->Dialogs().size(), 3u);
  EXPECT_EQ(overlay->Dialogs()[1].name, "d");
  EXPECT_TRUE(overlay->DialogClosing());
  EXPECT_EQ(overlay->TopDialog()->name, "e");
}

}  // namespace
}  // namespace vyr::test
