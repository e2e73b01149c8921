#include "scene/button/button_name.h"

#include <vector>

#include "project/ini/values.h"

namespace vyr {

std::string ButtonPictureName(const TButtonPictureRequest& r) {
  return std::string(kButtonPrefix) + r.theme + ":" + std::to_string(r.state) + ":" +
         std::to_string(r.width) + ":" + std::to_string(r.hue) + ":" +
         std::to_string(r.saturation) + ":" + std::to_string(r.lightness);
}

bool IsButtonPictureName(std::string_view name) { return name.starts_with(kButtonPrefix); }

TButtonPictureRequest ParseButtonPictureName(std::string_view name) {
  std::string rest(name.size() > kButtonPrefix.size() ? name.substr(kButtonPrefix.size()) : "");
  rest += ':';
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t colon; parts.size() < 6 && (colon = rest.find(':', start)) != std::string::npos;
       start = colon + 1)
    parts.push_back(rest.substr(start, colon - start));
  parts.resize(6);
  const auto number = [](const std::string& text) {
    int32_t value = 0;
    return ParseInt32(text, value) ? value : 0;
  };
  TButtonPictureRequest r;
  r.theme = parts[0];
  r.state = number(parts[1]);
  r.width = number(parts[2]);
  r.hue = number(parts[3]);
  r.saturation = number(parts[4]);
  r.lightness = number(parts[5]);
  return r;
}

}  // namespace vyr
