#pragma once
// The 15 animated values of a scene object in their 8 value groups: names used by
// expressions and modifier targets, the keyframe keys they are read from, defaults.

#include <cstdint>
#include <string_view>

namespace vyr {

enum TValueGroup : int {
  kGroupOpacity = 0,
  kGroupPos = 1,
  kGroupScale = 2,
  kGroupAngle = 3,
  kGroupCenter = 4,
  kGroupBlur = 5,
  kGroupColor = 6,  // no value: carries the keyframe's colour filters
  kGroupFrame = 7,
  kGroupCount = 8,
};

enum TAnimatedValue : int {
  kValueOpacity = 0,
  kValuePosX,
  kValuePosY,
  kValuePosZ,
  kValueScaleX,
  kValueScaleY,
  kValueAngle,
  kValueAngleX,
  kValueAngleY,
  kValueCenterX,
  kValueCenterY,
  kValueBlur,
  kValueZoom,
  kValueOffsX,
  kValueOffsY,
  kAnimatedValueCount,
};

struct TAnimatedFieldDesk {
  int group;
  int index;
  const char* displayName;
  const char* iniKey;  // none for the second number of a two-number key
  int component;       // 0, or 1 for the second number of iniKey of row keyRow
  int keyRow;          // the row holding the key
  double unit;         // 0.01 for percent, 1/360 for degrees
  float defaultValue;
};

extern const TAnimatedFieldDesk kAnimatedFields[kAnimatedValueCount];

struct TIndexRange {
  uint8_t first = 0;
  uint8_t end = 0;  // one past the last
};

const char* GroupName(int group);
// The values of a group (empty for Color).
TIndexRange GroupValues(int group);
// Group by name ignoring case, or -1.
int FindGroup(std::string_view name);
// A value by display name: the text before the last "." (or all of it) picks the
// group, the whole text the value within it; -1 when nothing matches.
int FindAnimatedValue(std::string_view displayName);
// A group name followed by ".T" or ".t" (Pos.T): the group, else -1.
int FindTimeGroup(std::string_view name);

// Checks the table's consistency; a fault is an assertion.
void CheckAnimatedFieldTable();

}  // namespace vyr
