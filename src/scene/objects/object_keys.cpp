#include "scene/objects/object_keys.h"

#include <cmath>
#include <span>

#include "imaging/bitmap/colour.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

bool KeyBool(const TIniObject* object, std::string_view key, bool defaultValue) {
  return ReadBool(FindKey(object, key), defaultValue);
}

int KeyInt(const TIniObject* object, std::string_view key, int defaultValue) {
  return ReadInt(FindKey(object, key), defaultValue);
}

float KeyFloat(const TIniObject* object, std::string_view key, float defaultValue) {
  double value = ReadFloat(FindKey(object, key), defaultValue);
  return std::isfinite(value) ? static_cast<float>(value) : defaultValue;
}

std::string KeyText(const TIniObject* object, std::string_view key, std::string_view defaultValue) {
  return ReadText(FindKey(object, key), defaultValue);
}

bool HasKey(const TIniObject* object, std::string_view key) { return FindKey(object, key); }

int KeyEnum(const TIniObject* object, std::string_view key,
            std::initializer_list<std::string_view> names, int defaultValue) {
  return ReadEnum(FindKey(object, key), std::span(names.begin(), names.size()), defaultValue, true);
}

uint32_t KeyColor(const TIniObject* object, std::string_view key, uint32_t defaultValue) {
  const TIniItem* item = FindKey(object, key);
  return item ? ParseColor(item->Value(), defaultValue) : defaultValue;
}

std::vector<double> KeyNumbers(const TIniObject* object, std::string_view key) {
  std::vector<double> numbers;
  for (const std::string& part : ReadList(FindKey(object, key))) {
    double value = 0;
    size_t start = part.find_first_not_of(' ');
    if (start == std::string::npos || !ParseFloat(std::string_view(part).substr(start), value) ||
        !std::isfinite(value))
      value = 0;
    numbers.push_back(value);
  }
  return numbers;
}

}  // namespace vyr
