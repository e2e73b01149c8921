#include "render/compose/compose_shaders.h"

#include <map>

namespace vyr {
namespace {

const char* const kHeader =
    "#version 330 core\n"
    "in vec4 vDiffuse;\n"
    "in vec2 vTex0;\n"
    "in vec2 vTex1;\n"
    "uniform vec4 c[5];\n"
    "out vec4 fragColor;\n";

// c0 = texel size, c1.x = threshold, c2.x = amount.
const char* const kUnsharp =
    "uniform sampler2D s0;\n"
    "vec4 P(vec2 t) { return texture(s0, t); }\n"
    "void main() {\n"
    "  vec2 t = vTex0;\n"
    "  vec2 dx = vec2(c[0].x, 0.0), dy = vec2(0.0, c[0].y);\n"
    "  vec4 p = P(t);\n"
    "  vec4 b = (4.0 * p + 2.0 * (P(t - dx) + P(t + dx) + P(t - dy) + P(t + dy)) +\n"
    "            P(t - dx - dy) + P(t + dx - dy) + P(t - dx + dy) + P(t + dx + dy)) / 16.0;\n"
    "  vec3 d = p.rgb - b.rgb;\n"
    "  vec3 sharpened = p.rgb + c[2].x * d;\n"
    "  fragColor = vec4(mix(p.rgb, sharpened, step(vec3(c[1].x), abs(d))), p.a);\n"
    "}\n";

// c0 = (w3, w2, w1, w0), c1.x = step in texture units, c2.xy = the largest coordinate of
// the picture inside its texture (taps are clamped to the picture).
std::string GaussPass(const char* axis) {
  return std::string(
             "uniform sampler2D s0;\n"
             "vec4 P(vec2 t) { return texture(s0, clamp(t, vec2(0.0), c[2].xy)); }\n"
             "void main() {\n"
             "  vec2 s = ") +
         axis +
         ";\n"
         "  vec2 t = vTex0;\n"
         "  fragColor = c[0].w * P(t) + c[0].z * (P(t - s) + P(t + s)) +\n"
         "              c[0].y * (P(t - 2.0 * s) + P(t + 2.0 * s)) +\n"
         "              c[0].x * (P(t - 3.0 * s) + P(t + 3.0 * s));\n"
         "}\n";
}

// Stage 0 the full-size picture at vTex0, stage 1 the half-size one at vTex1, c0.x = a.
const char* const kGaussMix =
    "uniform sampler2D s0;\n"
    "uniform sampler2D s1;\n"
    "void main() {\n"
    "  vec4 p0 = texture(s0, vTex0);\n"
    "  fragColor = p0 + c[0].x * (texture(s1, vTex1) - p0);\n"
    "}\n";

// Stages 1 and 2: 32 x 32 x 32 cubes, red on the first axis; c0.x = mix.
const char* const kColorGrading =
    "uniform sampler2D s0;\n"
    "uniform sampler3D s1;\n"
    "uniform sampler3D s2;\n"
    "void main() {\n"
    "  vec4 p = texture(s0, vTex0);\n"
    "  vec3 k = p.rgb * vDiffuse.rgb * 0.96875 + 0.015625;\n"
    "  vec3 l1 = texture(s1, k).rgb, l2 = texture(s2, k).rgb;\n"
    "  fragColor = vec4((1.0 - c[0].x) * l1 + c[0].x * l2, p.a * vDiffuse.a);\n"
    "}\n";

// Stages 1 and 2: strips of 256 entries, each channel looked up in its own channel.
const char* const kColorGradeLinear =
    "uniform sampler2D s0;\n"
    "uniform sampler2D s1;\n"
    "uniform sampler2D s2;\n"
    "vec3 Strip(sampler2D s, vec3 k) {\n"
    "  return vec3(texture(s, vec2(k.r, 0.5)).r, texture(s, vec2(k.g, 0.5)).g,\n"
    "              texture(s, vec2(k.b, 0.5)).b);\n"
    "}\n"
    "void main() {\n"
    "  vec4 p = texture(s0, vTex0);\n"
    "  vec3 k = p.rgb * vDiffuse.rgb * 0.99609375 + 0.001953125;\n"
    "  fragColor = vec4((1.0 - c[0].x) * Strip(s1, k) + c[0].x * Strip(s2, k),\n"
    "                   p.a * vDiffuse.a);\n"
    "}\n";

const char* const kPremulStages =
    "uniform sampler2D s0;\n"
    "uniform sampler2D s1;\n"
    "float Inverse(float a) { return a > 0.0 ? 1.0 / a : 0.0; }\n";

const char* const kPremul =
    "void main() {\n"
    "  vec4 r = texture(s0, vTex0) * texture(s1, vTex1);\n"
    "  fragColor = vec4(r.rgb * Inverse(r.a), r.a * vDiffuse.a);\n"
    "}\n";

const char* const kPremul2 =
    "void main() {\n"
    "  vec4 q = texture(s1, vTex1);\n"
    "  q.rgb *= Inverse(q.a);\n"
    "  vec4 r = texture(s0, vTex0) * q;\n"
    "  fragColor = vec4(r.rgb, r.a * vDiffuse.a);\n"
    "}\n";

// Stage 0 the stencil p, stage 1 the content q (premultiplied).
const char* const kPremul3 =
    "void main() {\n"
    "  vec4 p = texture(s0, vTex0);\n"
    "  vec4 q = texture(s1, vTex1);\n"
    "  float g = (1.0 - abs(p.r - p.g)) * (1.0 - abs(p.g - p.b)) * (1.0 - abs(p.b - p.r));\n"
    "  vec4 pp = vec4(p.rgb + g * (1.0 - p.rgb), max(p.r, max(p.g, p.b)));\n"
    "  vec4 r = q * pp;\n"
    "  fragColor = vec4(r.rgb * Inverse(q.a), r.a * vDiffuse.a);\n"
    "}\n";

// Stage 0 a Y plane, c0.x = invert.
const char* const kVideoMask =
    "uniform sampler2D s0;\n"
    "void main() {\n"
    "  float y = (texture(s0, vTex0).r - 0.0625) * 1.164384;\n"
    "  float value = c[0].x + (1.0 - 2.0 * c[0].x) * y;\n"
    "  fragColor = vec4(vec3(value), value * vDiffuse.a);\n"
    "}\n";

// Video frames: stages 0, 1, 2 the Y, U and V planes, stages 3 and 4 the clip's cubes
// (read at (V, U, Y)), c0.x = mix. Deinterlaced: c1 = (H, 1 / H), c2 = (ox, oy) choosing
// the field. Chroma key: c3 = (d, 1 / d), c4 = (kU, kV).
const char* const kVideoStages =
    "uniform sampler2D s0;\n"
    "uniform sampler2D s1;\n"
    "uniform sampler2D s2;\n"
    "uniform sampler3D s3;\n"
    "uniform sampler3D s4;\n"
    "vec3 Lookup(float y, float u, float v) {\n"
    "  vec3 k = vec3(v, u, y) * 0.96875 + 0.015625;\n"
    "  return (1.0 - c[0].x) * texture(s3, k).rgb + c[0].x * texture(s4, k).rgb;\n"
    "}\n";

const char* const kProgressiveLuma = "float Luma(vec2 t) { return texture(s0, t).r; }\n";

// The two nearest lines of the shown field.
const char* const kFieldLuma =
    "float Luma(vec2 t) {\n"
    "  float p = t.y * c[1].x + c[2].y;\n"
    "  float k = floor(p / 2.0);\n"
    "  float w = (p - (2.0 * k + 0.5)) / 2.0;\n"
    "  float a = texture(s0, vec2(t.x, (2.0 * k + c[2].x + 0.5) * c[1].y)).r;\n"
    "  float b = texture(s0, vec2(t.x, (2.0 * k + c[2].x + 2.5) * c[1].y)).r;\n"
    "  return (1.0 - w) * a + w * b;\n"
    "}\n";

const char* const kPlainAlpha = "float Alpha(float u, float v) { return vDiffuse.a; }\n";

const char* const kKeyAlpha =
    "float Alpha(float u, float v) {\n"
    "  float q = abs((u - c[4].x) + (v - c[4].y)) / 2.0;\n"
    "  if (q >= c[3].x) return vDiffuse.a;\n"
    "  float f = q * c[3].y;\n"
    "  return vDiffuse.a * f * f;\n"
    "}\n";

const char* const kVideoMain =
    "void main() {\n"
    "  float u = texture(s1, vTex0).r, v = texture(s2, vTex0).r;\n"
    "  fragColor = vec4(Lookup(Luma(vTex0), u, v), Alpha(u, v));\n"
    "}\n";

std::string VideoShader(bool deinterlaced, bool chromaKey) {
  return std::string(kVideoStages) + (deinterlaced ? kFieldLuma : kProgressiveLuma) +
         (chromaKey ? kKeyAlpha : kPlainAlpha) + kVideoMain;
}

std::map<std::string, std::string> BuildSources() {
  std::map<std::string, std::string> s;
  s["unsharp"] = kUnsharp;
  s["gauss_blur_h7"] = GaussPass("vec2(c[1].x, 0.0)");
  s["gauss_blur_v7"] = GaussPass("vec2(0.0, c[1].x)");
  s["gauss_mix"] = kGaussMix;
  s["color_grading"] = kColorGrading;
  s["color_grade_linear"] = kColorGradeLinear;
  s["premul"] = std::string(kPremulStages) + kPremul;
  s["premul2"] = std::string(kPremulStages) + kPremul2;
  s["premul3"] = std::string(kPremulStages) + kPremul3;
  s["videomask"] = kVideoMask;
  s["color_grade_video"] = VideoShader(false, false);
  s["color_grade_deinter"] = VideoShader(true, false);
  s["color_grade_chromakey"] = VideoShader(false, true);
  s["color_grade_chroma_deinter"] = VideoShader(true, true);
  for (auto& [name, text] : s) text = kHeader + text;
  return s;
}

const std::map<std::string, std::string>& Sources() {
  static const std::map<std::string, std::string> sources = BuildSources();
  return sources;
}

}  // namespace

const std::string& ComposeShaderSource(const std::string& name) {
  static const std::string none;
  auto it = Sources().find(name);
  return it == Sources().end() ? none : it->second;
}

const std::vector<std::string>& ComposeShaderNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const auto& entry : Sources()) n.push_back(entry.first);
    return n;
  }();
  return names;
}

}  // namespace vyr
