#include "player/overlay/nav_bar.h"

#include <algorithm>

#include "foundation/exceptions.h"
#include "imaging/bitmap/pixel_format.h"
#include "package/container/load_callback.h"
#include "player/overlay/bar_pixels.h"
#include "player/overlay/bar_values.h"
#include "project/ini/ini.h"

namespace vyr {

namespace {

constexpr const char* kKnownNames[] = {"home",  "backward", "forward", "pause",
                                       "print", "help",     "exit"};

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

std::string_view TrimmedName(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

TRect Union(const TRect& a, const TRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return TRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
               std::max(a.bottom, b.bottom)};
}

TRect Intersection(const TRect& a, const TRect& b) {
  return TRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
}

// The source area composited at (x, y), limited to the clip rectangle of the destination.
void CompositeClipped(TBitmap& dest, int x, int y, const TBitmap& source, TRect src,
                      const TRect& clip) {
  const TRect target = Intersection(TRect{x, y, x + src.Width(), y + src.Height()}, clip);
  if (target.Empty()) return;
  src = TRect{src.left + target.left - x, src.top + target.top - y, src.left + target.right - x,
              src.top + target.bottom - y};
  CompositeBarArea(dest, target.left, target.top, source, src);
}

TRect CheckedRect(const TIniSection* section, std::string_view key, const TRect* fallback) {
  const TIniItem* item = FindKey(section, key);
  if (!item && fallback) return *fallback;
  const TRectValue value = ParseRectValue(item ? item->Value() : std::string_view{});
  VYR_ASSERT_MSG(value.parts == 4,
                 "Bounds should contains 4 values. For example: BtnTextureNormalBounds=0,0,20,20. "
                 "But VYR found only " +
                     std::to_string(value.parts) + " values.");
  return value.rect;
}

}  // namespace

TNavBar::TNavBar() {
  cache_ =
      std::make_unique<TBmpCache>([this](const std::string& path) { return LoadPicture(path); });
}

void TNavBar::LoadSkin(TRef<TIniFile> description, const std::string& folder) {
  description_ = std::move(description);
  folder_ = folder;
  names_.clear();
  const TIniFile* file = description_.Get();
  for (const TIniSection* section : file->Sections()) {
    const std::string name = Upper(TrimmedName(section->Name()));
    if (name.rfind("ACTION-", 0) != 0) continue;
    const std::string rest = name.substr(7);
    for (const char* known : kKnownNames)
      if (rest == Upper(known)) names_.emplace_back(known);
  }
  LoadCallBack();
  cols_ = ReadInt(file, "Common", "ColsCount", 0);
  rows_ = ReadInt(file, "Common", "RowsCount", 0);
  // A hostile grid is refused before anything is allocated: the bar never draws.
  if (cols_ <= 0 || rows_ <= 0 || cols_ > kMaxGridSide || rows_ > kMaxGridSide) cols_ = rows_ = 0;
  leftOffset_ = ReadInt(file, "CellWithObjects", "LeftOffset", 0);
  topOffset_ = ReadInt(file, "CellWithObjects", "TopOffset", 0);
  rightOffset_ = ReadInt(file, "CellWithObjects", "RightOffset", 0);
  bottomOffset_ = ReadInt(file, "CellWithObjects", "BottomOffset", 0);
  const std::vector<std::string> cell =
      SplitValueList(ReadText(file, "CellWithObjects", "Cell", ""));
  VYR_ASSERT_MSG(cell.size() == 2, "Incorrect number of parameters in field \"Cell\"");
  objCol_ = ValueListInt(cell[0], 1);
  objRow_ = ValueListInt(cell[1], 1);
  LoadCallBack();
  cells_.assign(static_cast<size_t>(cols_) * static_cast<size_t>(rows_), TNavCell{});
  for (int i = 1; i <= cols_; ++i)
    for (int j = 1; j <= rows_; ++j) {
      const std::string name = "Cell(" + std::to_string(i) + ":" + std::to_string(j) + ")";
      const TIniSection* section = FindSection(file, name);
      const TRectValue bounds = ParseRectValue(ReadText(FindKey(section, "Bounds"), ""));
      VYR_ASSERT_MSG(bounds.parts == 4,
                     "Incorrect number of parameters in field \"Bounds\" in [" + name + "]");
      TNavCell& c = cells_[Index(i, j)];
      c.texture = cache_->Texture(folder_ + ReadText(FindKey(section, "flnm_Texture"), ""),
                                  bounds.rect, TTextureLook::Plain);
      c.w = std::max(0, bounds.rect.Width());
      c.h = std::max(0, bounds.rect.Height());
      LoadCallBack();
    }
  loaded_ = true;
}

void TNavBar::SetButtons(const std::vector<int>& indexes) {
  TCustomNavBar::SetButtons(indexes);
  if (!loaded_) return;
  const TIniFile* file = description_.Get();
  const int limit = std::clamp(ReadInt(file, "Objects", "Count", 0), 0, kMaxButtons);
  const int count = std::min(static_cast<int>(indexes.size()), limit);
  objects_.clear();
  for (int k = 1; k <= count; ++k) {
    const int index = indexes[static_cast<size_t>(k - 1)];
    if (index < 0 || index >= static_cast<int>(names_.size())) continue;
    const TIniSection* object = FindSection(file, "Object" + std::to_string(k));
    const TIniSection* action = FindSection(file, "Action-" + names_[static_cast<size_t>(index)]);
    TNavObject o;
    o.pressedShift = ReadInt(FindKey(object, "ShiftPressed"), 0);
    o.greyNormal = ReadBool(FindKey(object, "GrayNormal"), false);
    o.greyDisabled = ReadBool(FindKey(object, "GrayDisabled"), false);
    o.space = ReadInt(FindKey(object, "Space"), 0);
    static constexpr const char* kStates[] = {"Normal", "Hover", "Pressed", "Disabled"};
    const TRect btnNormal = CheckedRect(action, "BtnTextureNormalBounds", nullptr);
    const TRect bgNormal = CheckedRect(action, "BgTextureNormalBounds", nullptr);
    const std::string btnNormalFile = ReadText(FindKey(action, "flnm_BtnTextureNormal"), "");
    const std::string bgNormalFile = ReadText(FindKey(action, "flnm_BgTextureNormal"), "");
    const std::string playNormalFile = ReadText(FindKey(action, "flnm_BtnTextureNormalPlay"), "");
    o.hasPlay = !playNormalFile.empty();
    for (int s = 0; s < 4; ++s) {
      const std::string state = kStates[s];
      const bool normal = s == 0;
      const TRect btnRect =
          normal ? btnNormal : CheckedRect(action, "BtnTexture" + state + "Bounds", &btnNormal);
      const TRect bgRect =
          normal ? bgNormal : CheckedRect(action, "BgTexture" + state + "Bounds", &bgNormal);
      const std::string btnFile =
          normal ? btnNormalFile
                 : ReadText(FindKey(action, "flnm_BtnTexture" + state), btnNormalFile);
      const std::string bgFile =
          normal ? bgNormalFile : ReadText(FindKey(action, "flnm_BgTexture" + state), bgNormalFile);
      TTextureLook look = TTextureLook::Plain;
      if (s == kNavNormal && o.greyNormal) look = TTextureLook::Grey;
      if (s == kNavDisabled && o.greyDisabled) look = TTextureLook::Disabled;
      o.button[s] = cache_->Texture(folder_ + btnFile, btnRect, look);
      o.background[s] = cache_->Texture(folder_ + bgFile, bgRect, TTextureLook::Plain);
      if (o.hasPlay) {
        const std::string playFile =
            normal ? playNormalFile
                   : ReadText(FindKey(action, "flnm_BtnTexture" + state + "Play"), playNormalFile);
        o.play[s] = cache_->Texture(folder_ + playFile, btnRect, look);
      }
    }
    o.w = std::clamp(bgNormal.Width(), 0, kMaxBarSide);
    o.h = std::clamp(bgNormal.Height(), 0, kMaxBarSide);
    objects_.push_back(std::move(o));
    LoadCallBack();
  }
  Layout();
}

bool TNavBar::ObjectsCellInGrid() const {
  return objCol_ >= 1 && objCol_ <= cols_ && objRow_ >= 1 && objRow_ <= rows_;
}

void TNavBar::Layout() {
  if (cols_ <= 0 || rows_ <= 0) return;
  if (ObjectsCellInGrid()) {
    long long w = static_cast<long long>(leftOffset_) + rightOffset_;
    long long h = static_cast<long long>(topOffset_) + bottomOffset_;
    if (!objects_.empty()) {
      for (const TNavObject& o : objects_) w += static_cast<long long>(o.w) + o.space;
      h += objects_.front().h;
    }
    const int cw = static_cast<int>(std::clamp<long long>(w, 0, kMaxBarSide + 1));
    const int ch = static_cast<int>(std::clamp<long long>(h, 0, kMaxBarSide + 1));
    for (int j = 1; j <= rows_; ++j) cells_[Index(objCol_, j)].w = cw;
    for (int i = 1; i <= cols_; ++i) cells_[Index(i, objRow_)].h = ch;
  }
  long long x = 0;
  for (int i = 1; i <= cols_; ++i) {
    long long y = 0;
    for (int j = 1; j <= rows_; ++j) {
      TNavCell& c = cells_[Index(i, j)];
      c.x = static_cast<int>(std::min<long long>(x, kMaxBarSide + 1));
      c.y = static_cast<int>(std::min<long long>(y, kMaxBarSide + 1));
      y += cells_[Index(1, j)].h;
    }
    x += cells_[Index(i, 1)].w;
  }
  long long barW = 0, barH = 0;
  for (int i = 1; i <= cols_; ++i) barW += cells_[Index(i, 1)].w;
  for (int j = 1; j <= rows_; ++j) barH += cells_[Index(1, j)].h;
  width_ = static_cast<int>(std::min<long long>(barW, kMaxBarSide + 1));
  height_ = static_cast<int>(std::min<long long>(barH, kMaxBarSide + 1));
  if (ObjectsCellInGrid()) {
    const TNavCell& cell = cells_[Index(objCol_, objRow_)];
    long long bx = static_cast<long long>(cell.x) + leftOffset_;
    const long long by = static_cast<long long>(cell.y) + topOffset_;
    for (TNavObject& o : objects_) {
      o.x = static_cast<int>(std::clamp<long long>(bx, -kMaxBarSide, kMaxBarSide + 1));
      o.y = static_cast<int>(std::clamp<long long>(by, -kMaxBarSide, kMaxBarSide + 1));
      bx += static_cast<long long>(o.w) + o.space;
    }
  } else {
    objects_.clear();  // an objects cell outside the grid holds no buttons
  }
  invalid_ = TRect{0, 0, width_, height_};
  Draw();
}

void TNavBar::Invalidate(const TRect& r) { invalid_ = Union(invalid_, r); }

void TNavBar::Draw() {
  if (invalid_.Empty() || !loaded_ || cols_ <= 0 || rows_ <= 0) return;
  // A bar beyond the largest picture side is refused rather than allocated.
  if (width_ <= 0 || height_ <= 0 || width_ > kMaxBarSide || height_ > kMaxBarSide ||
      static_cast<long long>(width_) * height_ > kMaxBarPixels)
    return;
  if (!picture_ || picture_->Width() != width_ || picture_->Height() != height_) {
    picture_ = MakeRef<TDirectBitmap>(width_, height_, pf::A8R8G8B8());
    invalid_ = TRect{0, 0, width_, height_};
  }
  const TRect clip = Intersection(invalid_, TRect{0, 0, width_, height_});
  invalid_ = TRect{};
  if (clip.Empty()) return;
  picture_->FillRect(clip, 0);
  LoadCallBack();
  if (showBackground) {
    for (const TNavCell& c : cells_) {
      const TRect area = Intersection(TRect{c.x, c.y, c.x + c.w, c.y + c.h}, clip);
      const TNavTexture& t = c.texture;
      const int tw = t.rect.Width(), th = t.rect.Height();
      if (area.Empty() || !t.picture || tw <= 0 || th <= 0) continue;
      const int firstX = c.x + (area.left - c.x) / tw * tw;
      const int firstY = c.y + (area.top - c.y) / th * th;
      for (int ty = firstY; ty < area.bottom; ty += th)
        for (int tx = firstX; tx < area.right; tx += tw) {
          const TRect tile = Intersection(TRect{tx, ty, tx + tw, ty + th}, area);
          CopyBarArea(*picture_, tile.left, tile.top, *t.picture,
                      TRect{t.rect.left + tile.left - tx, t.rect.top + tile.top - ty,
                            t.rect.left + tile.right - tx, t.rect.top + tile.bottom - ty});
        }
    }
    LoadCallBack();
  }
  for (const TNavObject& o : objects_) {
    const TRect r = Intersection(o.Rect(), clip);
    if (r.Empty() && !(o.state == kNavPressed && o.pressedShift > 0)) continue;
    // Only pixels inside the cleared rectangle are painted again.
    const TNavTexture& bg = o.background[o.state];
    if (bg.picture)
      CompositeClipped(*picture_, o.x, o.y, *bg.picture,
                       TRect{bg.rect.left, bg.rect.top, bg.rect.left + o.w, bg.rect.top + o.h},
                       clip);
    const bool playLook = o.hasPlay && callbacks.isPlaying && !callbacks.isPlaying(*this);
    const TNavTexture& btn = playLook ? o.play[o.state] : o.button[o.state];
    const int bw = o.button[kNavNormal].rect.Width(), bh = o.button[kNavNormal].rect.Height();
    if (btn.picture && bw > 0 && bh > 0) {
      const int shift = o.state == kNavPressed ? o.pressedShift : 0;
      CompositeClipped(
          *picture_, o.x + (o.w - bw) / 2 + shift, o.y + (o.h - bh) / 2 + shift, *btn.picture,
          TRect{btn.rect.left, btn.rect.top, btn.rect.left + bw, btn.rect.top + bh}, clip);
    }
  }
  LoadCallBack();
  if (hue != 0) ShiftAreaHue(*picture_, clip, hue, [] { return LoadCallBack(); });
  NotifyPictureChanged(clip);
}

void TNavBar::SetState(TNavObject& o, int state) {
  if (o.state == state) return;
  TRect r = o.Rect();
  if (o.state == kNavPressed || state == kNavPressed) {
    r.right += std::max(0, o.pressedShift);
    r.bottom += std::max(0, o.pressedShift);
  }
  o.state = state;
  Invalidate(r);
}

bool TNavBar::PointOnBar(int x, int y) const {
  return picture_ && x >= 0 && y >= 0 && x < picture_->Width() && y < picture_->Height();
}

static bool Inside(const TNavObject& o, int x, int y) {
  return x >= o.x && y >= o.y && x < o.x + o.w && y < o.y + o.h;
}

void TNavBar::HandleMove(uint8_t shift, int x, int y) {
  const bool onBar = PointOnBar(x, y);
  const bool dragFromElsewhere = (shift & kNavLeftHeld) && !pressedMode_;
  if ((pressedMode_ || onBar) && !dragFromElsewhere) {
    pointerInside_ = true;
    for (size_t k = 0; k < objects_.size(); ++k) {
      TNavObject& o = objects_[k];
      if (o.state == kNavDisabled) continue;
      int state = kNavNormal;
      if (Inside(o, x, y))
        state = !pressedMode_ ? kNavHover
                              : (static_cast<int>(k) == pressedButton_ ? kNavPressed : kNavNormal);
      SetState(o, state);
    }
    Draw();
  } else if (!(pressedMode_ || onBar) && pointerInside_) {
    for (TNavObject& o : objects_)
      if (o.state != kNavDisabled) SetState(o, kNavNormal);
    Draw();
  }
}

void TNavBar::MouseEvent(int button, uint8_t shift, int eventType, int y, int x) {
  const bool onBar = PointOnBar(x, y);
  switch (eventType) {
    case kNavButtonDown: {
      if (button != kNavLeftButton || !onBar) return;
      pressedMode_ = true;
      pressedButton_ = -1;
      for (size_t k = 0; k < objects_.size(); ++k) {
        TNavObject& o = objects_[k];
        if (o.state == kNavDisabled) continue;
        if (Inside(o, x, y)) {
          SetState(o, kNavPressed);
          pressedButton_ = static_cast<int>(k);
        } else {
          SetState(o, kNavNormal);
        }
      }
      Draw();
      return;
    }
    case kNavMove:
      HandleMove(shift, x, y);
      return;
    case kNavButtonUp: {
      if (!onBar) {
        if (!pointerInside_) return;
        pointerInside_ = false;
      }
      if (button != kNavLeftButton) return;
      if (pressedMode_ && pressedButton_ >= 0 &&
          pressedButton_ < static_cast<int>(objects_.size())) {
        const TNavObject& o = objects_[static_cast<size_t>(pressedButton_)];
        if (o.state != kNavDisabled && callbacks.click && Inside(o, x, y))
          callbacks.click(*this, pressedButton_);
      }
      pressedMode_ = false;
      pressedButton_ = -1;
      HandleMove(shift, x, y);
      return;
    }
    default:
      return;
  }
}

void TNavBar::Refresh(double) {
  const bool playing = callbacks.isPlaying ? callbacks.isPlaying(*this) : false;
  if (refreshed_ && playing == lastPlaying_) return;
  refreshed_ = true;
  lastPlaying_ = playing;
  for (const TNavObject& o : objects_)
    if (o.hasPlay) {
      Invalidate(o.Rect());
      break;
    }
  Draw();
}

}  // namespace vyr
