#include "scene/objects/vyr_text.h"

#include <algorithm>
#include <cmath>

#include "foundation/line_breaks.h"
#include "imaging/metadata/macro_parser.h"
#include "imaging/text/text_picture.h"
#include "project/ini/value_text.h"
#include "scene/host/managed_colour.h"
#include "scene/host/slide_host.h"
#include "scene/objects/object_keys.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

namespace {

// Texts are rendered between these scales, whatever size they are needed at.
constexpr double kMinTextScale = kDefaultTextScale / 64;
constexpr double kMaxTextScale = kDefaultTextScale * 16;

}  // namespace

void TVyrText::Dispose() {
  if (root_ && root_->CommentText() == this) root_->SetCommentText(nullptr);
  TVyrImage::Dispose();
}

void TVyrText::ReadKeys(const TIniObject* o) {
  if (o) {
    const std::string text = KeyText(o, "Text", "");
    std::optional<std::string> decoded = TryDecodeValueText(text);
    lines_ = SplitLines(decoded ? *decoded : text);
    CutToTextBudget(lines_);
    colors_[kStateNormal] = KeyColor(o, "TextColor", 0xFFFFFFFF);
    colors_[kStateHover] = KeyColor(o, "TextColorHover", colors_[kStateNormal]);
    colors_[kStateClick] = KeyColor(o, "TextColorClick", colors_[kStateNormal]);
    ManageColors();
    params_.fontName = KeyText(o, "FontName", "Arial");
    params_.style = ParseStyleWords(KeyText(o, "FontStyle", ""));
    params_.alignment = KeyEnum(o, "TextAlign", {"Left", "Center", "Right"}, kAlignCenter);
    params_.lineSpacing = KeyInt(o, "LineSpacing", 0);
    rasterize_ = KeyBool(o, "Rasterize", false);
    rasterizedGuid_ = KeyText(o, "RasterizedGUID", "");
    isComment_ = KeyBool(o, "IsComment", false);
    if (isComment_ && root_)
      root_->SetCommentText(this);
    else if (root_ && root_->CommentText() == this)
      root_->SetCommentText(nullptr);
    image_.Reset();
    requested_ = false;
  }
  TVyrImage::ReadKeys(o);
  antialiased_ = false;
}

std::string TVyrText::MacroValue(const std::string& macro) {
  TVyrSlide* slide = GetRootSlide();
  TVyrSlideHost* host = GetHost();
  if (SameName(macro, "<%SlideIndex%>"))
    return std::to_string((slide ? slide->SlideIndex() : 0) + 1);
  if (SameName(macro, "<%SlidesCount%>")) return std::to_string(host ? host->SlideCount() : 0);
  TVyrImage* main = slide ? slide->MainImage() : nullptr;
  if (!main) return {};
  const std::string& path = main->ImageName();
  if (SameName(macro, "<%MainImg.Width%>") || SameName(macro, "<%MainImg.Height%>")) {
    main->EnsureImage();
    TImage* picture = main->Picture();
    if (!picture) return "0";
    return std::to_string(SameName(macro, "<%MainImg.Width%>") ? picture->Width()
                                                               : picture->Height());
  }
  if (SameName(macro, "<%MainImg.PathNameExt%>")) return path;
  if (SameName(macro, "<%MainImg.FileName%>")) return PathFileName(path);
  if (SameName(macro, "<%MainImg.PathName%>")) return PathWithoutExtension(path);
  if (SameName(macro, "<%MainImg.FileNameExt%>")) return PathFileNameExt(path);
  if (SameName(macro, "<%MainImg.FolderPath%>")) return PathFolder(path);
  if (SameName(macro, "<%MainImg.FolderName%>")) return PathFolderName(path);
  return host ? host->PictureMacro(path, macro) : std::string();
}

std::vector<std::string> TVyrText::ExpandedLines() {
  TMTParser parser([this](TMTParser&, const std::string& macro, std::string& value) {
    value = MacroValue(macro);
  });
  std::vector<std::string> out;
  out.reserve(lines_.size());
  for (const std::string& line : lines_)
    out.push_back(line.find("<%") == std::string::npos ? line : parser.Expand(line));
  return out;
}

std::string TVyrText::RequestName() const {
  if (rasterize_ && !rasterizedGuid_.empty()) return rasterizedGuid_;
  TTextParams params = params_;
  params.scale = pictureScale_;
  return FormatTextDescription(params, expanded_);  // carries the "Text: " prefix
}

bool TVyrText::EnsureImage() {
  if (image_) return true;
  if (requested_) return false;
  expanded_ = ExpandedLines();
  CutToTextBudget(expanded_);
  return TVyrImage::EnsureImage();
}

void TVyrText::NeededSizeChanged() {
  if (!image_ || image_->Height() <= 0 || !(NeededHeight() > 0)) return;
  double scale = pictureScale_ * NeededHeight() * 1.3333 / image_->Height();
  if (!std::isfinite(scale)) return;
  scale = std::clamp(scale, kMinTextScale, kMaxTextScale);
  if (std::fabs(scale - pictureScale_) <= pictureScale_ * 0.01) return;
  pictureScale_ = scale;
  previousImage_ = image_;
  image_.Reset();
  requested_ = false;
  changed_ = true;
}

void TVyrText::SetTime(bool recursive, double showTime) {
  showTime_ = showTime;
  TVyrImage::SetTime(recursive, showTime);
}

void TVyrText::UpdateLayout(bool recursive) {
  if (root_ && root_->Preparing()) return;
  // The picture's height sets the scale: ScaleY is the block height in percent of the parent.
  float pw, ph;
  GetParentSize(pw, ph);
  const double h = OwnHeight();
  const double height = ScaleY() / 100.0 * ph;
  const double sy = h > 0 ? height / h : 0;
  const double sx =
      std::fabs(ScaleY()) < 0.0001 ? ScaleX() * sy * 0.0001 : ScaleX() * sy / ScaleY();
  ComputeScalesDirect(std::isfinite(sx) ? sx : 0, std::isfinite(sy) ? sy : 0);
  ComposePlacement();
  ComputePivot();
  FinishLayout(recursive);
}

bool TVyrText::HitTestSelf(float x, float y) {
  if (!TVyrImage::HitTestSelf(x, y) || !image_) return false;
  auto* store = dynamic_cast<TTextBitmapStore*>(&image_->Store());
  if (!store) return true;
  float u = 0, v = 0;
  if (!PlanePointAt(x, y, u, v)) return false;
  // Own-plane units are the picture's pixels.
  const float px = u - PivotX(), py = v - PivotY();
  for (const TRect& r : store->HitRects())
    if (px >= r.left && px <= r.right && py >= r.top && py <= r.bottom) return true;
  return false;
}

float TVyrText::GetDrawOpacity() const {
  if (captionOf_) return GetOpacity() * captionOf_->GetDrawCaptionOpacity() / 100;
  return GetOpacity();
}

void TVyrText::FillDrawParams(TDeviceDrawer& drawer, TImageDrawParams& params) {
  TVyrImage::FillDrawParams(drawer, params);
  params.tint = managedColors_[std::clamp(mouseState_, 0, 2)];
  params.sourceRect = {};
  params.borderMargin = 0;
}

void TVyrText::SetCaptionColor(uint32_t color) {
  colors_[0] = colors_[1] = colors_[2] = color;
  ManageColors();
  changed_ = true;
}

void TVyrText::ManageColors() {
  for (int state = 0; state < 3; ++state) {
    int same = 0;
    while (same < state && colors_[same] != colors_[state]) ++same;
    managedColors_[state] =
        same < state ? managedColors_[same] : ManagedColour(GetHost(), colors_[state]);
  }
}

void TVyrText::ShadowSilhouette(TShadowParams& params) const {
  const int level = std::clamp(ReductionLevelValue(), 0, 30);
  params.right = static_cast<float>(image_->Width() >> level);
  params.bottom = static_cast<float>(image_->Height() >> level);
}

float TVyrText::LineHeight() const {
  if (!image_) return 0;
  const size_t lines = std::max<size_t>(1, expanded_.empty() ? lines_.size() : expanded_.size());
  return static_cast<float>(image_->Height()) / static_cast<float>(lines);
}

float TVyrText::ShadowBlurScale() const {
  return TextShadowBlurScale(LineHeight(), ReductionLevelValue());
}

float TVyrText::ShadowDistanceBase() const { return std::round(3 * LineHeight()); }

}  // namespace vyr
