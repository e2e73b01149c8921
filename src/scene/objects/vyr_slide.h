#pragma once
// A slide: the root of a scene tree, built from a slide section, with its time line,
// background, preparation pass and mouse handling. Dialogs and custom transitions are slides
// too.

#include <memory>
#include <string>
#include <unordered_map>

#include "imaging/bitmap/bitmap_store.h"
#include "project/ini/model.h"
#include "scene/animation/slide_timing.h"
#include "scene/host/slide_host.h"
#include "scene/objects/vyr_object.h"

namespace vyr {

class TVyrImage;
class TVyrText;

struct TBackgroundParams {
  enum TKind : uint8_t { kSolid = 0, kPicture = 1, kGradient = 2 };
  TKind kind = kSolid;
  int gradientKind = 0;          // 1 horizontal, 2 vertical
  uint32_t color1 = 0xFF000000;  // 0xAARRGGBB
  uint32_t color2 = 0xFF000000;
  // The colours drawn: in the display profile when the show manages colours.
  uint32_t managedColor1 = 0xFF000000;
  uint32_t managedColor2 = 0xFF000000;
  std::string file;
  float size = 100;  // percent
};

// Background of a slide: from the slide section when its "bstyle" is non-zero, else from the
// main section's "opt_" keys.
TBackgroundParams ReadBackground(const TIniSection* mainSection, const TIniSection* slideSection);

// Mouse events handed to a slide.
enum TMouseEventKind : int { kMouseMove = 0, kMousePress = 1, kMouseRelease = 2 };
inline constexpr int kMouseButtonLeft = 0;
inline constexpr int kMouseFlagButtonHeld = 16;

struct TMouseHit {
  TVyrObject* object = nullptr;
  TVyrActionInfo action;
};

class TVyrSlide : public TVyrObject {
 public:
  // owner: what holds the slide (not owned); flag: stored for the builder (IsDialogSlide).
  TVyrSlide(TRef<TVyrSlideHost> host, TRefObject* owner, bool flag);

  void SetReferenceOrigin(float x0, float y0);
  void BuildFromSection(const TIniSection* mainSection, const TIniSection* slideSection,
                        bool noSync, double outDuration, double outDuration2, double inDuration,
                        double inDuration2, int slideIndex, bool copySections,
                        const TIniSection* timesSection);
  // The preparation pass: needed sizes of all objects over the keyframe times.
  void Prepare(bool changeDetection);
  TMouseHit HandleMouse(int flags, float x, float y, bool inside, int kind, int button);

  void Draw(TDeviceDrawer& drawer) override;
  void DrawSelf(TDeviceDrawer& drawer) override;
  void UpdateLayout(bool recursive) override;
  double GetOriginTime(int origin) const override;
  void GetParentSize(float& width, float& height) const override;
  const TPlacement& GetParentPlacement() const override;
  bool HitTestSelf(float, float) override { return false; }
  void SetTime(bool recursive, double showTime) override;
  TVyrSlideHost* GetHost() const override { return host_.Get(); }
  TVyrSlide* GetRootSlide() override { return this; }
  void PrepareResources(TDeviceDrawer& drawer) override;
  // The part of preparing that needs no drawer, for a slide built before the drawer stands:
  // pictures fetched, measured and decoded at the level they will be drawn at.
  void DecodePictures();
  void ReleaseResources() override;
  void Advance(bool recursive, double showTime) override;
  virtual float GetRootOpacity() const { return 100; }

  int SlideIndex() const { return slideIndex_; }
  const TSlideOrigins& Origins() const { return origins_; }
  void SetOrigins(const TSlideOrigins& origins) { origins_ = origins; }
  double SlideTime() const { return slideTime_; }  // show time - SlideBegin of the last SetTime
  double DepthFactor() const { return depthFactor_; }
  void UpdateDepthFactor();
  bool Preparing() const { return preparing_; }
  bool Prepared() const { return prepared_; }
  const TBackgroundParams& Background() const { return background_; }
  TRefObject* Owner() const { return owner_; }
  bool Flag() const { return flag_; }

  // The slide's main picture: the first plain picture (depth first) with an ImageIndex.
  TVyrImage* MainImage() const;
  // At most one text of the tree is the slide's comment.
  void SetCommentText(TVyrText* text);
  TVyrText* CommentText() const { return commentText_; }

  // Objects by property set, so that reloading reuses them.
  TVyrObject* LinkedObject(const TVyrObjectProps* props) const;
  void Link(const TVyrObjectProps* props, TVyrObject* object);
  void Unlink(const TVyrObjectProps* props, const TVyrObject* object);

 protected:
  void Dispose() override;

 private:
  void FetchAndMeasure();

  TRef<TVyrSlideHost> host_;
  TRefObject* owner_;
  bool flag_;
  int slideIndex_ = 0;
  TSlideOrigins origins_;
  double outDuration2_ = 0, inDuration2_ = 0;
  double slideTime_ = 0;
  double showTime_ = 0;
  double depthFactor_ = 1;
  bool preparing_ = false;
  bool prepared_ = false;
  TBackgroundParams background_;
  TRef<TImage> backgroundPicture_;
  TPlacement rootPlacement_;
  TRef<TIniSection> mainCopy_, slideCopy_, timesCopy_;
  TRef<TIniObject> ownRoot_;  // the empty root of a section without one
  std::unordered_map<const TVyrObjectProps*, TVyrObject*> links_;
  TVyrText* commentText_ = nullptr;
};

}  // namespace vyr
