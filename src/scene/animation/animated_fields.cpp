#include "scene/animation/animated_fields.h"

#include "foundation/case_fold.h"
#include "foundation/exceptions.h"

namespace vyr {

namespace {

constexpr double kPercent = 0.01;
constexpr double kDegrees = 1.0 / 360;

const char* const kGroupNames[kGroupCount] = {"Opacity", "Pos",  "Scale", "Angle",
                                              "Center",  "Blur", "Color", "Frame"};

}  // namespace

const TAnimatedFieldDesk kAnimatedFields[kAnimatedValueCount] = {
    {kGroupOpacity, 0, "Opacity", "Opacity", 0, 0, kPercent, 100},
    {kGroupPos, 1, "Pos.X", "Position", 0, 1, kPercent, 0},
    {kGroupPos, 2, "Pos.Y", nullptr, 1, 1, kPercent, 0},
    {kGroupPos, 3, "Pos.Z", "ZPos", 0, 3, kPercent, 0},
    {kGroupScale, 4, "Scale.X", "ScaleX", 0, 4, kPercent, 100},
    {kGroupScale, 5, "Scale.Y", "ScaleY", 0, 5, kPercent, 100},
    {kGroupAngle, 6, "Angle", "Angle", 0, 6, kDegrees, 0},
    {kGroupAngle, 7, "Angle.X", "AngleX", 0, 7, kDegrees, 0},
    {kGroupAngle, 8, "Angle.Y", "AngleY", 0, 8, kDegrees, 0},
    {kGroupCenter, 9, "Center.X", "CenterPos", 0, 9, kPercent, 0},
    {kGroupCenter, 10, "Center.Y", nullptr, 1, 9, kPercent, 0},
    {kGroupBlur, 11, "Blur", "Blur", 0, 11, kPercent, 0},
    {kGroupFrame, 12, "Frame.S", "Zoom", 0, 12, kPercent, 100},
    {kGroupFrame, 13, "Frame.X", "OffsX", 0, 13, kPercent, 0},
    {kGroupFrame, 14, "Frame.Y", "OffsY", 0, 14, kPercent, 0},
};

const char* GroupName(int group) {
  return group >= 0 && group < kGroupCount ? kGroupNames[group] : "";
}

TIndexRange GroupValues(int group) {
  TIndexRange range;
  bool found = false;
  for (int i = 0; i < kAnimatedValueCount; ++i) {
    if (kAnimatedFields[i].group != group) continue;
    if (!found) range.first = static_cast<uint8_t>(i);
    found = true;
    range.end = static_cast<uint8_t>(i + 1);
  }
  return range;
}

int FindGroup(std::string_view name) {
  for (int g = 0; g < kGroupCount; ++g)
    if (SameName(name, kGroupNames[g])) return g;
  return -1;
}

int FindAnimatedValue(std::string_view displayName) {
  const size_t dot = displayName.rfind('.');
  const int group =
      FindGroup(dot == std::string_view::npos ? displayName : displayName.substr(0, dot));
  if (group < 0) return -1;
  const TIndexRange range = GroupValues(group);
  for (int i = range.first; i < range.end; ++i)
    if (SameName(displayName, kAnimatedFields[i].displayName)) return i;
  return -1;
}

int FindTimeGroup(std::string_view name) {
  if (name.size() < 3 || name[name.size() - 2] != '.') return -1;
  const char last = name.back();
  if (last != 'T' && last != 't') return -1;
  return FindGroup(name.substr(0, name.size() - 2));
}

void CheckAnimatedFieldTable() {
  int secondComponents = 0;
  for (int i = 0; i < kAnimatedValueCount; ++i) {
    const TAnimatedFieldDesk& f = kAnimatedFields[i];
    VYR_ASSERT_MSG(f.index == i, "Invalid vyr keyframe param index");
    VYR_ASSERT_MSG(f.unit != 0, "Invalid keyframe Value multiplier");
    VYR_ASSERT_MSG(f.group >= 0 && f.group < kGroupCount, "Invalid Group Range");
    if (f.component > 0) {
      VYR_ASSERT_MSG(f.iniKey == nullptr && f.keyRow < i && kAnimatedFields[f.keyRow].iniKey,
                     "Invalid keyframe param key");
      ++secondComponents;
    } else {
      VYR_ASSERT_MSG(f.iniKey != nullptr && f.keyRow == i, "Invalid keyframe param key");
    }
  }
  VYR_ASSERT_MSG(secondComponents == 2, "Invalid keyframe param key");
}

}  // namespace vyr
