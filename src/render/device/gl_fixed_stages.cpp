#include "render/device/gl_fixed_stages.h"

#include <algorithm>

namespace vyr {

uint32_t TFixedStages::Key() const {
  const uint32_t count = static_cast<uint32_t>(std::clamp(stages, 0, kMaxStages));
  if (count == 0) return 1;  // the vertex colour alone
  const uint32_t alphaBits = modulateAlpha ? hasAlpha & ((1u << count) - 1) : 0;
  return 1 | count << 1 | (modulateColor ? 1u : 0u) << 5 | (modulateAlpha ? 1u : 0u) << 6 |
         alphaBits << 7;
}

std::string FixedFragmentShaderSource(const TFixedStages& state) {
  const int count = std::clamp(state.stages, 0, kMaxStages);
  std::string s = "#version 330 core\nin vec4 vDiffuse;\n";
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    s += "in vec2 vTex" + n + ";\nuniform sampler2D s" + n + ";\n";
  }
  s += "out vec4 fragColor;\nvoid main() {\n  vec4 c = vDiffuse;\n  vec4 t;\n";
  // Each stage combines its texture with the result of the stage before (the vertex
  // colour for stage 0).
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    s += "  t = texture(s" + n + ", vTex" + n + ");\n";
    s += state.modulateColor ? "  c.rgb = t.rgb * c.rgb;\n" : "  c.rgb = t.rgb;\n";
    if (!state.modulateAlpha)
      s += "  c.a = t.a;\n";
    else if (state.hasAlpha & (1u << i))
      s += "  c.a = t.a * c.a;\n";
  }
  s += "  fragColor = c;\n}\n";
  return s;
}

}  // namespace vyr
