#include <gtest/gtest.h>

#include "foundation/exceptions.h"
#include "player/bar_fixture.h"
#include "player/overlay/nav_bar.h"

namespace vyr::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kYellow = 0xFFFFFF00, kWhite = 0xFFFFFFFF, kBlue = 0xFF0000FF;
constexpr uint32_t kBgNormal = 0xFF404040, kBgHover = 0xFF606060, kMagenta = 0xFFFF00FF;
constexpr uint32_t kPlay = 0xFF00FFFF;

// Cell texture pixel (x, y): red x * 40, green y * 40.
uint32_t CellColour(int x, int y) {
  return 0xFF000000u | uint32_t(x * 40) << 16 | uint32_t(y * 40) << 8;
}

// Three cells in one row; the middle one holds the buttons (8 x 6 each, 4 x 4 textures).
std::string SkinText(const std::string& extraCommon = "", const std::string& count = "2",
                     const std::string& cell = "2,1", const std::string& object2 = "") {
  return "[Common]\nColsCount=3\nRowsCount=1\n" + extraCommon + "[CellWithObjects]\nCell=" + cell +
         "\nLeftOffset=2\nTopOffset=1\nRightOffset=2\nBottomOffset=1\n"
         "[Cell(1:1)]\nBounds=0,0,3,4\nflnm_Texture=cells.png\n"
         "[Cell(2:1)]\nBounds=0,0,2,2\nflnm_Texture=cells.png\n"
         "[Cell(3:1)]\nBounds=0,0,3,4\nflnm_Texture=cells.png\n"
         "[Objects]\nCount=" +
         count +
         "\n"
         "[Object1]\nSpace=1\nShiftPressed=1\n[Object2]\n" +
         object2 +
         "[Action-home]\n"
         "BtnTextureNormalBounds=0,0,4,4\nflnm_BtnTextureNormal=btn.png\n"
         "BtnTextureHoverBounds=4,0,4,4\nBtnTexturePressedBounds=8,0,4,4\n"
         "BtnTextureDisabledBounds=12,0,4,4\n"
         "BgTextureNormalBounds=0,0,8,6\nflnm_BgTextureNormal=bg.png\n"
         "BgTextureHoverBounds=8,0,8,6\n"
         "[Action-pause]\n"
         "BtnTextureNormalBounds=0,0,4,4\nflnm_BtnTextureNormal=btn.png\n"
         "flnm_BtnTextureNormalPlay=play.png\n"
         "BgTextureNormalBounds=0,0,8,6\nflnm_BgTextureNormal=bg.png\n"
         "[Action-exit]\n"
         "BtnTextureNormalBounds=0,0,4,4\nflnm_BtnTextureNormal=btn.png\n"
         "BgTextureNormalBounds=0,0,8,6\nflnm_BgTextureNormal=bg.png\n";
}

class SkinBar : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder.pictures["skin/cells.png"] = PatternPicture(4, 4, CellColour);
    recorder.pictures["skin/btn.png"] = StripPicture(4, 4, {kRed, kYellow, kWhite, kBlue});
    recorder.pictures["skin/bg.png"] = StripPicture(8, 6, {kBgNormal, kBgHover});
    recorder.pictures["skin/play.png"] = FlatBarPicture(4, 4, kPlay);
  }
  // Loads the skin and shows the named buttons (indexes into the name list).
  TRef<TNavBar> Build(const std::string& text, const std::vector<std::string>& shown,
                      bool background = true, int hue = 0) {
    auto bar = MakeRef<TNavBar>();
    recorder.Attach(*bar);
    bar->showBackground = background;
    bar->hue = hue;
    bar->LoadSkin(Description(text), "skin/");
    std::vector<int> indexes;
    for (const std::string& name : shown)
      for (size_t i = 0; i < bar->Names().size(); ++i)
        if (bar->Names()[i] == name) indexes.push_back(int(i));
    bar->SetButtons(indexes);
    bar->Refresh(0);
    return bar;
  }
  TBarRecorder recorder;
};

TEST_F(SkinBar, LayoutTilesCellsAndPlacesButtons) {
  auto bar = Build(SkinText(), {"home", "exit"});
  // Objects cell: 2 + 2 + (8 + 1) + (8 + 0) wide, 1 + 1 + 6 high; the row takes its height.
  EXPECT_EQ(bar->BarWidth(), 3 + 21 + 3);
  EXPECT_EQ(bar->BarHeight(), 8);
  ASSERT_EQ(bar->Objects().size(), 2u);
  EXPECT_EQ(bar->Objects()[0].x, 5);
  EXPECT_EQ(bar->Objects()[0].y, 1);
  EXPECT_EQ(bar->Objects()[1].x, 14);
  const TBitmap* p = bar->Picture();
  ASSERT_TRUE(p);
  // Cell 1 (3 x 4 texture) tiled down an 8-pixel row: (1, 5) shows texture (1, 1).
  EXPECT_EQ(PixelAt(p, 1, 5), CellColour(1, 1));
  EXPECT_EQ(PixelAt(p, 25, 6), CellColour(1, 2));  // cell 3 starts at x = 24
  EXPECT_EQ(PixelAt(p, 5, 1), kBgNormal);          // the button's background
  EXPECT_EQ(PixelAt(p, 7, 2), kRed);               // its texture centred: (8 - 4) div 2
  EXPECT_EQ(PixelAt(p, 16, 2), kRed);
}

TEST_F(SkinBar, ButtonStatesAndClicks) {
  auto bar = Build(SkinText(), {"home", "exit"});
  bar->MouseEvent(0, 0, kNavMove, 3, 8);
  EXPECT_EQ(PixelAt(bar->Picture(), 7, 2), kYellow);
  EXPECT_EQ(PixelAt(bar->Picture(), 5, 1), kBgHover);
  EXPECT_EQ(PixelAt(bar->Picture(), 16, 2), kRed);
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 3, 8);
  // Pressed: moved right and down by ShiftPressed; the pressed background is the normal one.
  EXPECT_EQ(PixelAt(bar->Picture(), 8, 3), kWhite);
  EXPECT_EQ(PixelAt(bar->Picture(), 7, 2), kBgNormal);
  bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, 3, 8);
  EXPECT_EQ(recorder.clicks, std::vector<int>{0});
  EXPECT_EQ(PixelAt(bar->Picture(), 7, 2), kYellow);  // handled once more as a move
  // Press on the second button, release outside it (on the bar, then off it): no click.
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 3, 17);
  bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, 3, 1);
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 3, 17);
  bar->MouseEvent(0, kNavLeftHeld, kNavMove, 50, 50);
  bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, 50, 50);
  EXPECT_EQ(recorder.clicks, std::vector<int>{0});
  EXPECT_EQ(PixelAt(bar->Picture(), 16, 2), kRed);
  // A drag that began elsewhere changes nothing.
  bar->MouseEvent(0, kNavLeftHeld, kNavMove, 3, 8);
  EXPECT_EQ(PixelAt(bar->Picture(), 7, 2), kRed);
}

TEST_F(SkinBar, CountLimitGreyLookPlayTexturesAndNoBackground) {
  auto limited = Build(SkinText("", "2"), {"home", "pause", "exit"});
  EXPECT_EQ(limited->Objects().size(), 2u);

  auto grey = Build(SkinText("", "2", "2,1", "GrayNormal=1\n"), {"home", "exit"});
  EXPECT_EQ(PixelAt(grey->Picture(), 16, 2), 0xFF555555u);  // red in the grey look
  EXPECT_EQ(PixelAt(grey->Picture(), 7, 2), kRed);

  recorder.playing = false;
  auto play = Build(SkinText(), {"home", "pause"}, false);
  EXPECT_EQ(PixelAt(play->Picture(), 16, 2), kPlay);  // paused: the Play texture
  EXPECT_EQ(PixelAt(play->Picture(), 1, 5), 0u);      // no background cells
  recorder.playing = true;
  play->Refresh(40);
  EXPECT_EQ(PixelAt(play->Picture(), 16, 2), kRed);
}

TEST_F(SkinBar, HueShiftOfTheWholeBar) {
  auto bar = Build(SkinText(), {"home"}, true, 120);
  EXPECT_EQ(PixelAt(bar->Picture(), 7, 2), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(bar->Picture(), 5, 1), kBgNormal);
}

TEST_F(SkinBar, DegenerateGridsDrawNoButtons) {
  auto empty = Build("[Common]\nColsCount=0\nRowsCount=1\n[CellWithObjects]\nCell=1,1\n", {});
  EXPECT_EQ(empty->Picture(), nullptr);
  auto outside = Build(SkinText("", "2", "7,1"), {"home"});
  EXPECT_TRUE(outside->Objects().empty());
  ASSERT_TRUE(outside->Picture());
  EXPECT_EQ(PixelAt(outside->Picture(), 1, 1), CellColour(1, 1));
  auto hostile = Build(
      "[Common]\nColsCount=1000000000\nRowsCount=1000000000\n"
      "[CellWithObjects]\nCell=1,1\n",
      {});
  EXPECT_EQ(hostile->Picture(), nullptr);
  std::string wide = SkinText();
  wide.replace(wide.find("BgTextureNormalBounds=0,0,8,6"), 29,
               "BgTextureNormalBounds=0,0,1000000,6");
  auto huge = Build(wide, {"home"});
  EXPECT_EQ(huge->Picture(), nullptr);
}

TEST_F(SkinBar, MalformedValueListsRaiseTheirAssertions) {
  auto expectAssertion = [&](const std::string& text, const std::string& message) {
    try {
      Build(text, {"home"});
      ADD_FAILURE() << "no assertion for " << message;
    } catch (const EAssertionFailed& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  };
  expectAssertion(SkinText("", "2", "2"), "Incorrect number of parameters in field \"Cell\"");
  std::string cell = SkinText();
  cell.replace(cell.find("Bounds=0,0,2,2"), 14, "Bounds=0,0,2");
  expectAssertion(cell, "Incorrect number of parameters in field \"Bounds\" in [Cell(2:1)]");
  std::string button = SkinText();
  button.replace(button.find("BtnTextureHoverBounds=4,0,4,4"), 29, "BtnTextureHoverBounds=4,0,4");
  expectAssertion(button,
                  "Bounds should contains 4 values. For example: BtnTextureNormalBounds=0,0,20,20. "
                  "But VYR found only 3 values.");
}

}  // namespace
}  // namespace vyr::test
