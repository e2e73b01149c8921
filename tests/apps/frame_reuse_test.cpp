// Frames drawn once: a slide that reports no change is not drawn again into its effect buffer,
// and a frame in which nothing changed is the previous one. Every frame of a run at 30 frames
// per second must equal, byte for byte, the frame drawn afresh with --no-frame-reuse: a slide
// whose look changed without reporting it shows as the first frame that differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "package/package_fixture.h"
#include "run_program.h"
#include "video/clip_fixtures.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;
using test::TRunResult;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Consecutive frames at 30 per second: reuse only happens from one frame to the next.
const std::string kFrameStep = "33.333333";
// The mosaic's tiles (and any default transition) follow the seed in both runs.
const std::string kSeed = "7";

TRunResult RenderFrames(const std::string& show, int fromMs, int toMs, const std::string& dir,
                        bool reuse) {
  // "-log" (the log on standard error) takes a value when one follows: it comes last.
  std::vector<std::string> args = {
      "--frames", std::to_string(fromMs) + ":" + std::to_string(toMs) + ":" + kFrameStep,
      "--out",    dir,
      "--size",   "320x180",
      "--seed",   kSeed,
      show,       "-log"};
  if (!reuse) args.insert(args.begin(), "--no-frame-reuse");
  return test::RunProgram(VYRVIEWER_PATH, args);
}

std::vector<std::string> FrameNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// "frame_00001234.png" is the frame of 1234 ms.
long TimeOf(const std::string& name) { return std::atol(name.c_str() + 6); }

// What the player logs at the end of a run: how often it handed on the previous frame and how
// often it kept a slide's effect buffer.
struct TReuseCounts {
  bool reported = false;
  long frames = 0, slideBuffers = 0;
};

TReuseCounts ReuseCounts(const std::string& log) {
  std::smatch match;
  static const std::regex line("frames reused: (\\d+)(?: of \\d+)?, slide buffers reused: (\\d+)");
  if (!std::regex_search(log, match, line)) return {};
  return {true, std::stol(match[1].str()), std::stol(match[2].str())};
}

// What the show draws at a time, for the reader of a failure.
using TDescribeTime = std::function<std::string(long ms)>;

// Renders frames fromMs to toMs of the show with reuse and afresh and requires them byte-equal.
// Returns the reuse counts of the run with reuse.
TReuseCounts ExpectReuseDrawsAsFresh(const std::string& show, int fromMs, int toMs,
                                     const TDescribeTime& describe) {
  test::TTempDir dir;
  const std::string kept = dir / "reuse", fresh = dir / "fresh";
  const TRunResult reuse = RenderFrames(show, fromMs, toMs, kept, true);
  EXPECT_EQ(reuse.exitCode, 0) << reuse.err.substr(0, 4000);
  const TRunResult afresh = RenderFrames(show, fromMs, toMs, fresh, false);
  EXPECT_EQ(afresh.exitCode, 0) << afresh.err.substr(0, 4000);
  if (reuse.exitCode != 0 || afresh.exitCode != 0) return {};

  const std::vector<std::string> names = FrameNames(kept);
  EXPECT_EQ(names.size(), static_cast<size_t>((toMs - fromMs) / std::stod(kFrameStep)) + 1)
      << "one frame per step";
  EXPECT_EQ(names, FrameNames(fresh)) << "the same frames in both runs";
  std::string first;
  int differing = 0;
  for (const std::string& name : names) {
    if (test::ReadFile(kept + "/" + name) == test::ReadFile(fresh + "/" + name)) continue;
    if (first.empty()) first = name;
    ++differing;
  }
  EXPECT_EQ(differing, 0) << "frames with reuse differ from frames drawn afresh, the first at "
                          << TimeOf(first) << " ms (" << first << "): " << describe(TimeOf(first));
  const TReuseCounts counts = ReuseCounts(reuse.err);
  const TReuseCounts none = ReuseCounts(afresh.err);
  if (none.reported) {
    EXPECT_EQ(none.frames + none.slideBuffers, 0) << "--no-frame-reuse reuses nothing";
  }
  return counts;
}

// Still stretches (so frames and buffers are reused) must exist, or equality proves nothing.
void ExpectReuseHappened(const TReuseCounts& counts) {
  ASSERT_TRUE(counts.reported) << "the player logs what it reused at the end of a run";
  EXPECT_GT(counts.frames, 0);
  EXPECT_GT(counts.slideBuffers, 0);
}

// ---- the demo shows, packed as `make run` packs them ----

TEST(FrameReuse, EveryFrameOfTheDemoShowsEqualsItsFreshDrawing) {
  const std::string build = VYR_BINARY_DIR;
  ASSERT_TRUE(test::Run("cd '" + std::string(VYR_SOURCE_DIR) +
                        "' && VYR_DEMO_PACK_ONLY=1 scripts/run-demo.sh '" + build +
                        "' >/dev/null 2>&1"))
      << "the demo shows could not be packed";
  // Under the sanitizers slides 11 and 12 with three transitions (the first slides move all
  // the time, these stand still for a while); else the whole show.
  const int fromMs = kSanitized ? 50000 : 0;
  const int toMs = kSanitized ? 61000 : 65000;
  ExpectReuseHappened(
      ExpectReuseDrawsAsFresh(build + "/demo/demo.vyshow", fromMs, toMs, [](long ms) {
        return "slide " + std::to_string(ms / 5000 + 1) + " of demo/Project.vyr, " +
               std::to_string(ms % 5000) + " ms after its start";
      }));
  // Three still pictures under a skin bar, played round more than once (12 s a round).
  ExpectReuseHappened(ExpectReuseDrawsAsFresh(
      build + "/demo/skinbar.vyshow", 0, kSanitized ? 14000 : 30000,
      [](long ms) { return std::to_string(ms % 12000) + " ms into a round of demo/SkinBar.vyr"; }));
}

// ---- a corpus of every transition with every kind of object ----

// Slides are kSlideMs apart; each comes in with a transition of kTransitionMs.
constexpr int kSlideMs = 700;
constexpr int kTransitionMs = 300;

struct TTransition {
  std::string name;  // for the reader of a failure
  std::string keys;  // of the slide's effect block
};

std::string OneHot(int length, int set) {
  std::string flags(length, '0');
  flags[set - 1] = '1';
  return flags;
}

// Every draw filter with the variants that draw differently, and a custom transition.
std::vector<TTransition> EveryTransition() {
  std::vector<TTransition> all = {{"dissolve", "ref=dissolve\n"}};
  for (const char* action : {"00", "10"})
    for (int d = 1; d <= 3; ++d)
      all.push_back({std::string("shapes ") + action + " " + std::to_string(d),
                     std::string("ref=shapes\naction=") + action + "\ndirection=" + OneHot(3, d) +
                         "\ncenterx=30\ncentery=70\n"});
  for (const char* kind : {"gates", "page"})
    for (int d = 1; d <= 8; ++d)
      all.push_back({std::string(kind) + " " + std::to_string(d),
                     std::string("ref=") + kind + "\ndirection=" + OneHot(8, d) + "\n"});
  for (const char* appearance : {"40", "150"})
    all.push_back({std::string("mosaic ") + appearance,
                   std::string("ref=mosaic\ncols=8\nrows=5\nappearence=") + appearance + "\n"});
  for (const char* kind : {"push", "slide", "swap"})
    for (int d = 1; d <= 4; ++d)
      all.push_back({std::string(kind) + " " + std::to_string(d),
                     std::string("ref=") + kind + "\ndirection=" + OneHot(4, d) + "\n"});
  for (int d = 1; d <= 8; ++d)
    all.push_back({"curling " + std::to_string(d),
                   "ref=curling\naction=" + std::string(d % 2 ? "01" : "10") +
                       "\ndirection=" + OneHot(8, d) + "\npipe=" + (d % 3 ? "1" : "0") +
                       "\nradius=" + (d % 3 ? "0.05" : "0") + "\nusecolor=" + (d % 2 ? "1" : "0") +
                       "\ncolor=3381759\nusevolume=" + (d > 4 ? "1" : "0") + "\n3dvolume=0.2\n"});
  for (int d = 1; d <= 4; ++d)
    for (int spin : {0, 1})
      all.push_back({"flip " + std::to_string(d) + (spin ? " spin" : ""),
                     "ref=flip\ndirection=" + OneHot(4, d) +
                         "\nspin_center=" + std::to_string(spin) +
                         "\nnonlinear_speed=" + std::to_string(d % 2) + "\n3dvolume=0.5\n"});
  for (const char* action : {"00", "01"})
    for (int d = 1; d <= 9; ++d)
      all.push_back({std::string("hourhand ") + action + " " + std::to_string(d),
                     std::string("ref=hourhand\naction=") + action + "\ndirection=" + OneHot(9, d) +
                         "\noffset=" + (d % 2 ? "0.2" : "0") + "\n"});
  all.push_back({"custom", "ref=Swirl\n"});
  return all;
}

// What each entry of SlideContents shows, in its order.
std::vector<std::string> SlideContentNames() {
  return {"still picture and text macros",
          "moving box and turning bordered picture with shadows",
          "zoom and pan",
          "opacity and blur",
          "colour filters",
          "expressions",
          "sprite sheet",
          "video clip",
          "mask in a viewport",
          "buttons",
          "frame turning about its y axis",
          "texts appearing and leaving",
          "picture and text growing from small"};
}

// Builds the object blocks of one slide with GUIDs of their own.
class TSlideText {
 public:
  explicit TSlideText(int& counter) : counter_(counter) {}

  // "object NAME:CLASS" with its GUID, the keys, the inner blocks and "end".
  std::string Object(const std::string& name, const std::string& cls, const std::string& keys,
                     const std::string& inner = "") {
    char guid[64];
    std::snprintf(guid, sizeof guid, "{5EED0000-0000-4000-8000-%012d}", ++counter_);
    return "object " + name + ":" + cls + "\nGUID=" + guid + "\n" + keys + inner + "end\n";
  }

 private:
  int& counter_;
};

std::string Key(const std::string& keys) { return "object k:KeyPoint\n" + keys + "end\n"; }

// The slides' contents, used in turn: still slides beside moving ones, and slides that stand
// still for a while and then change.
std::vector<std::string> SlideContents(int& counter) {
  TSlideText o(counter);
  std::vector<std::string> all;
  // A still picture with its captions: text macros of the slide and its main picture.
  all.push_back(o.Object("Photo", "Image", "ImageName=photo.jpg\nImageIndex=0\nFitMode=Cover\n") +
                o.Object("Caption", "Text",
                         "Text=Slide <%SlideIndex%> of <%SlidesCount%>\\n<%MainImg.FileName%> "
                         "<%MainImg.Width%> x <%MainImg.Height%> <%MainImg.FileNameExt%>\n"
                         "FontName=DejaVu Sans\nTextColor=255,240,160\n",
                         Key("Time=0\nPosition=0,60\nScaleX=18\nScaleY=18\n")));
  // Moving: a box drifts across, a bordered picture turns, both with drop shadows.
  all.push_back(
      o.Object("Drift", "Box",
               "Size=320,180\nFillMode=HGradient\nColor1=200,40,40\nColor2=40,40,200\n"
               "ShadowEnable=1\nShadowDistance=6\nShadowSize=4\nShadowColor=0,0,80\n",
               Key("Time=0\nPosition=-70,-70\nScaleX=30\nScaleY=30\n") +
                   Key("Origin=SlideEnd\nTime=0\nPosition=70,-70\nScaleX=30\nScaleY=30\n")) +
      o.Object("Turning", "Image",
               "ImageName=bars.png\nEnableBorder=1\nBorderWidth=4\nBorderColor=255,255,0,255\n"
               "ShadowEnable=1\nShadowDistance=8\nShadowAngle=135\nShadowOpacity=80\n",
               Key("Time=0\nScaleX=50\nScaleY=50\nAngle=0\n") +
                   Key("Origin=SlideEnd\nTime=0\nScaleX=60\nScaleY=60\nAngle=120\n")));
  // Zoom and pan inside a picture that holds still after 400 ms, then an extra zoom at the end.
  all.push_back(o.Object("Zoomed", "Image", "ImageName=photo.jpg\nFitMode=Cover\n",
                         Key("Time=0\ngrps=128\nZoom=100\nOffsX=0\nOffsY=0\n") +
                             Key("Time=400\ngrps=128\nZoom=160\nOffsX=60\nOffsY=-40\n") +
                             Key("Time=600\ngrps=128\nZoom=160\nOffsX=60\nOffsY=-40\n") +
                             Key("Origin=SlideEnd\nTime=0\ngrps=128\nZoom=200\nOffsX=-30\n")));
  // Opacity and blur: fades in, blurs and sharpens, then stands still.
  all.push_back(o.Object("Ground", "Box", "Size=320,180\nColor1=20,60,20\n") +
                o.Object("Faded", "Image", "ImageName=bars.png\n",
                         Key("Time=0\nOpacity=0\nBlur=0\nScaleX=80\nScaleY=80\n") +
                             Key("Time=250\nOpacity=100\nBlur=1\nScaleX=80\nScaleY=80\n") +
                             Key("Time=450\nOpacity=60\nBlur=0\nScaleX=80\nScaleY=80\n")));
  // Colour filters: levels and inversion blended by the Color group, then a still
  // colourisation; a brightness change late in the slide.
  all.push_back(o.Object(
      "Graded", "Image", "ImageName=photo.jpg\nFitMode=Cover\n",
      Key("Time=0\nobject Levels:Filter\nMin=40\nMed=0\nMax=200\nend\n") +
          Key("Time=300\nobject Invert:Filter\nend\n") +
          Key("Time=500\nobject Colorisation2:Filter\nAmount=60\nColor=255,128,0\nend\n") +
          Key("Time=650\nobject Colorisation2:Filter\nAmount=60\nColor=255,128,0\nend\n") +
          Key("Origin=SlideEnd\nTime=0\nobject BrightContrast:Filter\nbright=30\ncontrast=20\n"
              "end\nobject HSL:Filter\nHue=90\nSaturation=20\nLightness=0\nend\n")));
  // Expressions: a box bobs along a sine of its time; a text turns by an expression of its
  // angle group's fraction.
  all.push_back(
      o.Object("Bobbing", "Box", "Size=40,40\nColor1=250,250,250\nFitMode=None\n",
               Key("Time=0\nPosition=-50,0\nobject m:Mod\nfn=Sin(T*Pi*4)*40\ndst=Pos.Y\nend\n")) +
      o.Object("Swinging", "Text", "Text=Expressions\nTextColor=120,200,255\n",
               Key("Time=0\nPosition=40,0\nScaleX=15\nScaleY=15\n"
                   "object m:Mod\nfn=Round(T*4)*10\ndst=Angle\nend\n")));
  // A sprite-sheet animation of eight cells that plays twice and then holds its last cell.
  all.push_back(o.Object("Sprite", "AniImage",
                         "ImageName=sheet.png\nAnimColumns=4\nAnimRows=2\nAnimCount=8\n"
                         "AnimInterval=40,40,40,40,80,80,40,40\nAnimRepCount=2\nAnimOffset=100\n",
                         Key("Time=0\nScaleX=70\nScaleY=70\n")));
  // An animated GIF and a video clip with a shadow.
  all.push_back(o.Object("Gif", "Video", "FileName=anim.gif\nStartVYRTime=200\nDuration=600\n",
                         Key("Time=0\nPosition=-70,-60\nScaleX=30\nScaleY=30\n")) +
                o.Object("Clip", "Video",
                         "FileName=clip.mp4\nStartVYRTime=100\nDuration=2000\n"
                         "ShadowEnable=1\nShadowDistance=8\nShadowSize=0\nShadowOpacity=100\n"
                         "ShadowColor=0,0,255\n",
                         Key("Time=0\nScaleX=60\nScaleY=60\n")));
  // A mask: a viewport shows a moving picture through an ellipse.
  all.push_back(
      o.Object("Window", "Viewport", "Size=320,180\n",
               o.Object("Stencil", "MaskStencil", "",
                        o.Object("Ellipse", "Image", "ImageName=PresetedMask:160:90:1:20:0\n",
                                 Key("Time=0\nScaleX=70\nScaleY=70\n"))) +
                   o.Object("Content", "MaskContent", "",
                            o.Object("Behind", "Image", "ImageName=photo.jpg\nFitMode=Cover\n",
                                     Key("Time=0\nPosition=-20,0\nScaleX=120\nScaleY=120\n") +
                                         Key("Origin=SlideEnd\nTime=0\nPosition=20,0\nScaleX=120\n"
                                             "ScaleY=120\n")))));
  // Buttons of a theme of the show: one still, one growing late in the slide.
  all.push_back(o.Object("Still", "Button", "Theme=plain\nHue=120\nAction=nextslide\n",
                         o.Object("Label", "Text", "Text=Next\n") +
                             Key("Time=0\nPosition=0,-40\nScaleX=30\nScaleY=20\n")) +
                o.Object("Growing", "Button", "Theme=plain\nBtnOpacity=70\n",
                         o.Object("Label", "Text", "Text=Grow\n") +
                             Key("Time=0\nPosition=0,40\nScaleX=30\nScaleY=20\n") +
                             Key("Time=450\nPosition=0,40\nScaleX=30\nScaleY=20\n") +
                             Key("Origin=SlideEnd\nTime=0\nPosition=0,40\nScaleX=45\n"
                                 "ScaleY=30\n")));
  // A frame with children turning about its vertical axis, its back hidden with its children.
  all.push_back(
      o.Object("Card", "Frame", "Size=320,180\nColor1=60,60,90\nHideMode=2\nChildInvis=1\n",
               o.Object("Face", "Image", "ImageName=bars.png\nEnableBorder=1\nBorderWidth=6\n",
                        Key("Time=0\nScaleX=60\nScaleY=60\n")) +
                   Key("Time=0\nScaleX=70\nScaleY=70\nAngleY=0\n") +
                   Key("Origin=SlideEnd\nTime=0\nScaleX=70\nScaleY=70\nAngleY=120\n")));
  // Still texts, one appearing late and one leaving early (visibility windows).
  all.push_back(o.Object("Ground", "Box",
                         "Size=320,180\nFillMode=VGradient\nColor1=10,10,10\n"
                         "Color2=90,90,90\n") +
                o.Object("Early", "Text", "Text=Here from the start\nDeltaTime2=300\n",
                         Key("Time=0\nPosition=0,-40\nScaleX=14\nScaleY=14\n")) +
                o.Object("Late", "Text",
                         "Text=Here after half a second\nDeltaTime1=500\nShadowColor=255,0,0\n",
                         Key("Time=0\nPosition=0,40\nScaleX=14\nScaleY=14\n")));
  // A large picture grows from a thumbnail (its reduction level falls as it grows) and a text
  // holds still, then grows (its picture is drawn again larger).
  all.push_back(o.Object("Large", "Image", "ImageName=large.jpg\n",
                         Key("Time=0\nScaleX=6\nScaleY=6\n") +
                             Key("Origin=SlideEnd\nTime=0\nScaleX=100\nScaleY=100\n")) +
                o.Object("Swelling", "Text", "Text=Growing\nTextColor=255,255,255\n",
                         Key("Time=0\nScaleX=5\nScaleY=5\n") +
                             Key("Time=400\nScaleX=5\nScaleY=5\n") +
                             Key("Origin=SlideEnd\nTime=0\nScaleX=45\nScaleY=45\n")));
  return all;
}

// The show's project: every transition in turn, each into a slide of the next contents; the
// custom transition's own slide turns the leaving slide away and fades the arriving one in.
std::string CorpusProject(const std::vector<TTransition>& transitions) {
  int counter = 0;
  const std::vector<std::string> contents = SlideContents(counter);
  const int slides = static_cast<int>(transitions.size()) + 1;
  std::string text =
      "[Main]\nopt_scr_width=320\nopt_scr_height=180\nPathToButtons=themes\\\n"
      "opt_logo=1\nopt_logo_fn=bars.png\nopt_logo_pos=6\nopt_logo_size=12\n";
  text += "object TheEffect:AnEffect\ntime=" + std::to_string(kTransitionMs) +
          "\nobject Swirl:AnEffect\nchecked=0\nslide_1=swirl\nend\nend\n";
  text += "[Times]\nopt_slidescount=" + std::to_string(slides) + "\n";
  for (int i = 1; i <= slides; ++i)
    text += "opt_synchpos" + std::to_string(i) + "=" + std::to_string(kSlideMs * i) + "\n";
  for (int i = 0; i < slides; ++i) {
    text += "[Slide" + std::to_string(i + 1) + "]\n";
    if (i % 5 == 3)
      text += "bstyle=2\nbfn=bars.png\nbsize=80\n";
    else if (i % 3 == 1)
      text += "bstyle=3\nbcolorstyle=1\nbcolor1=4724752\nbcolor2=5774394\n";
    if (i > 0)
      text += "object TheEffect:AnEffect\n" + transitions[i - 1].keys +
              "time=" + std::to_string(kTransitionMs) + "\nend\n";
    text += "object Slide:Root\n" + contents[i % contents.size()] + "end\n";
  }
  TSlideText o(counter);
  text += "[effect_swirl]\nCustomEffTime=" + std::to_string(kTransitionMs) +
          "\nobject Root:Root\n" +
          o.Object("Leaving", "Image", "ReplaceWithEffectBuffer=1\n",
                   Key("Time=0\nScaleX=100\nScaleY=100\nAngle=0\n") +
                       Key("Origin=SlideEnd\nTime=0\nScaleX=10\nScaleY=10\nAngle=180\n")) +
          o.Object("Arriving", "Image", "ReplaceWithEffectBuffer=2\n",
                   Key("Time=0\nOpacity=0\n") + Key("Origin=SlideEnd\nTime=0\nOpacity=100\n")) +
          "end\n";
  return text;
}

// The corpus's pictures, sprite sheet, clips and button theme, made by ffmpeg.
bool MakeCorpusMedia(const test::TTempDir& dir) {
  const std::string ffmpeg = "ffmpeg -nostdin -v error -y -f lavfi -i ";
  fs::create_directories(dir / "show/themes/plain");
  test::WriteFile(dir / "show/themes/plain/btn.ini",
                  "[NormalState]\nLeftTop=btn.png,0,0,6,6\nTop=btn.png,6,0,54,6\n"
                  "RightTop=btn.png,54,0,60,6\nRight=btn.png,54,6,60,14\n"
                  "RightBottom=btn.png,54,14,60,20\nBottom=btn.png,6,14,54,20\n"
                  "LeftBottom=btn.png,0,14,6,20\nLeft=btn.png,0,6,6,14\n"
                  "Center=btn.png,6,6,54,14\n[TextParams]\nColor=#FFFFFF\nBtnOffset=20\n"
                  "BtnMinWidth=150\n");
  const auto make = [&](const std::string& source, const std::string& file) {
    return test::Run(ffmpeg + source + " '" + dir / ("show/" + file) + "'");
  };
  return make("testsrc2=size=240x160 -frames:v 1 -q:v 3", "photo.jpg") &&
         make("testsrc2=size=1600x1200 -frames:v 1 -q:v 3", "large.jpg") &&
         make("smptebars=size=160x120 -frames:v 1", "bars.png") &&
         make("testsrc=size=64x48:rate=8 -vf tile=4x2 -frames:v 1", "sheet.png") &&
         make("testsrc=size=96x54:rate=25 -t 1 -c:v libx264 -pix_fmt yuv420p", "clip.mp4") &&
         make("testsrc=size=64x48:rate=10 -t 0.6", "anim.gif") &&
         make(
             "color=c=0x2050c0:size=60x20 -frames:v 1 -vf "
             "drawbox=x=0:y=0:w=60:h=20:color=white:t=3",
             "themes/plain/btn.png");
}

TEST(FrameReuse, EveryFrameOfEveryTransitionAndObjectEqualsItsFreshDrawing) {
  test::TTempDir dir;
  ASSERT_TRUE(MakeCorpusMedia(dir)) << "ffmpeg could not make the corpus's media";
  int guids = 0;
  ASSERT_EQ(SlideContents(guids).size(), SlideContentNames().size());
  const std::vector<TTransition> transitions = EveryTransition();
  test::WriteFile(dir / "show/Project.vyr", CorpusProject(transitions));
  const std::string show = dir / "corpus.vyshow";
  // The theme's files under the names a show made on Windows gives them.
  const TRunResult pack = test::RunProgram(
      VYRPACK_PATH, {"create", show, dir / "show/Project.vyr", "--add",
                     "themes\\plain\\btn.ini=" + dir / "show/themes/plain/btn.ini", "--add",
                     "themes\\plain\\btn.png=" + dir / "show/themes/plain/btn.png"});
  ASSERT_EQ(pack.exitCode, 0) << pack.err;
  // Under the sanitizers one slide of each kind of content, a dozen transitions.
  const int slides = kSanitized ? static_cast<int>(SlideContentNames().size())
                                : static_cast<int>(transitions.size()) + 1;
  const std::vector<std::string> contents = SlideContentNames();
  ExpectReuseHappened(ExpectReuseDrawsAsFresh(show, 0, slides * kSlideMs, [&](long ms) {
    const long slide = ms / kSlideMs, into = ms % kSlideMs;
    std::string text = "slide " + std::to_string(slide + 1) + " (" +
                       contents[slide % contents.size()] + "), " + std::to_string(into) +
                       " ms after its start";
    if (slide > 0 && slide <= static_cast<long>(transitions.size()) && into <= kTransitionMs)
      text += ", coming in by " + transitions[slide - 1].name;
    return text;
  }));
}

}  // namespace
}  // namespace vyr
