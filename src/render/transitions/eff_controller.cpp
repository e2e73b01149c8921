#include "render/transitions/eff_controller.h"

#include <algorithm>

#include "render/transitions/separators.h"

namespace vyr {
namespace {

constexpr int kMinimumCapacity = 4096;

// Picture x vertex colour, one stage: the same result as the fixed stages with colour and
// alpha modulated (textures without alpha read alpha 1), without their eight-stage cost
// per pixel, which dominates full-screen transitions on a software rasteriser.
constexpr const char* kModulateShader = R"(#version 330 core
in vec4 vDiffuse;
in vec2 vTex0;
uniform sampler2D s0;
out vec4 fragColor;
void main() { fragColor = texture(s0, vTex0) * vDiffuse; }
)";

TEffPolygon Triangle(const TEffVertex& a, const TEffVertex& b, const TEffVertex& c) {
  TEffPolygon p;
  p.Add(a);
  p.Add(b);
  p.Add(c);
  return p;
}

bool Overlaps(const TEffPolygon& p, const TIntRect& r) {
  float x0 = p.v[0].sx, x1 = x0, y0 = p.v[0].sy, y1 = y0;
  for (int i = 1; i < p.count; ++i) {
    x0 = std::min(x0, p.v[static_cast<size_t>(i)].sx);
    x1 = std::max(x1, p.v[static_cast<size_t>(i)].sx);
    y0 = std::min(y0, p.v[static_cast<size_t>(i)].sy);
    y1 = std::max(y1, p.v[static_cast<size_t>(i)].sy);
  }
  return x1 > static_cast<float>(r.left) && x0 < static_cast<float>(r.right) &&
         y1 > static_cast<float>(r.top) && y0 < static_cast<float>(r.bottom);
}

// A premultiplied picture is blended with source factor one: its vertex colour must be
// premultiplied too, or alpha would not fade it.
uint32_t Premultiply(uint32_t argb) {
  const uint32_t a = argb >> 24;
  uint32_t result = argb & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    result |= (((argb >> shift) & 0xFF) * a + 127) / 255 << shift;
  return result;
}

}  // namespace

TEffController::TEffController(T3DScreen& screen)
    : screen_(TRef<T3DScreen>::Share(&screen)),
      modulate_(MakeRef<TShader>(screen, kModulateShader, false)) {}

T3DShader* TEffController::ModulateShader() {
  if (!modulate_->DeviceShader()) modulate_->PrepareFrame();  // made at the next frame otherwise
  return modulate_->DeviceShader();
}

TEffController::~TEffController() = default;

TEffController::TRun& TEffController::RunFor(T3DTexture* texture) {
  if (!keepOrder_)
    for (TRun& run : runs_)
      if (run.texture == texture) return run;
  if (runs_.empty() || runs_.back().texture != texture) runs_.push_back(TRun{texture, {}});
  return runs_.back();
}

void TEffController::AddPolygon(const TEffPolygon& polygon, const TEffTile* t) {
  if (polygon.count < 3) return;
  TRun& run = RunFor(t ? t->texture : nullptr);
  const bool premultiplied = t && t->texture->premultiplied;
  auto record = [&](const TEffVertex& v) {
    TVertexRecord r;
    r.x = v.x;
    r.y = v.y;
    r.z = v.z;
    r.diffuse = premultiplied ? Premultiply(v.colour) : v.colour;
    if (t) {
      const float w = static_cast<float>(std::max(t->area.Width(), 1));
      const float h = static_cast<float>(std::max(t->area.Height(), 1));
      r.tex[0][0] = t->u0 + (v.sx - static_cast<float>(t->area.left)) / w * (t->u1 - t->u0);
      r.tex[0][1] = t->v0 + (v.sy - static_cast<float>(t->area.top)) / h * (t->v1 - t->v0);
    }
    return r;
  };
  const TVertexRecord first = record(polygon.v[0]);
  for (int i = 1; i + 1 < polygon.count; ++i) {
    run.vertices.push_back(first);
    run.vertices.push_back(record(polygon.v[static_cast<size_t>(i)]));
    run.vertices.push_back(record(polygon.v[static_cast<size_t>(i + 1)]));
  }
}

void TEffController::AddTriangle(const TEffVertex& a, const TEffVertex& b, const TEffVertex& c) {
  if (!slide_) return;
  const TEffPolygon triangle = Triangle(a, b, c);
  const auto& tiles = slide_->Tiles();
  for (size_t i = 0; i < tiles.size(); ++i) {
    if (!tiles[i].texture || !Overlaps(triangle, tiles[i].area)) continue;
    AddPolygon(T2DSeparator::Cut(triangle, tiles[i].area), &tiles[i]);
  }
}

void TEffController::AddQuad(const TEffVertex& a, const TEffVertex& b, const TEffVertex& c,
                             const TEffVertex& d) {
  AddTriangle(a, b, c);
  AddTriangle(b, d, c);
}

void TEffController::AddSlideQuad(const TIntRect& rect, const std::array<TVec3, 4>& corners,
                                  uint32_t colour) {
  const float l = static_cast<float>(rect.left), r = static_cast<float>(rect.right);
  const float t = static_cast<float>(rect.top), b = static_cast<float>(rect.bottom);
  const float sx[4] = {l, r, l, r}, sy[4] = {t, t, b, b};
  std::array<TEffVertex, 4> v;
  for (size_t i = 0; i < 4; ++i)
    v[i] = TEffVertex{sx[i], sy[i], corners[i].x, corners[i].y, corners[i].z, colour};
  AddQuad(v[0], v[1], v[2], v[3]);
}

void TEffController::AddColourTriangle(const TEffVertex& a, const TEffVertex& b,
                                       const TEffVertex& c) {
  const TEffPolygon triangle = Triangle(a, b, c);
  AddPolygon(slide_ ? T2DSeparator::Cut(triangle, slide_->Bounds()) : triangle, nullptr);
}

void TEffController::AddColourRect(const TIntRect& rect, uint32_t colour) {
  auto corner = [&](int x, int y) {
    TEffVertex v;
    v.sx = v.x = static_cast<float>(x);
    v.sy = v.y = static_cast<float>(y);
    v.colour = colour;
    return v;
  };
  const TEffVertex a = corner(rect.left, rect.top), b = corner(rect.right, rect.top);
  const TEffVertex c = corner(rect.left, rect.bottom), d = corner(rect.right, rect.bottom);
  AddColourTriangle(a, b, c);
  AddColourTriangle(b, d, c);
}

bool TEffController::Flush() {
  lastDrawCalls_ = 0;
  size_t total = 0;
  for (const TRun& run : runs_) total += run.vertices.size();
  if (total == 0) {
    runs_.clear();
    return true;
  }
  T3DRenderer* renderer = screen_->Renderer();
  if (!renderer) {
    runs_.clear();
    return false;
  }
  if (!buffer_ || capacity_ < static_cast<int>(total)) {
    capacity_ = kMinimumCapacity;
    while (capacity_ < static_cast<int>(total)) capacity_ *= 2;
    buffer_ = MakeRef<TVertexBuffer>(*screen_, capacity_, vcDiffuse, 1);
  }
  packed_.clear();
  for (const TRun& run : runs_)
    packed_.insert(packed_.end(), run.vertices.begin(), run.vertices.end());
  buffer_->Reset();
  bool ok = buffer_->Append(packed_.data(), static_cast<int>(total), TPrimitiveType::TriangleList,
                            static_cast<int>(total / 3));
  T3DVertexList* list = buffer_->DeviceList();
  int first = 0;
  for (const TRun& run : runs_) {
    const int count = static_cast<int>(run.vertices.size());
    if (ok && list) {
      list->SetPrimitive(first, count / 3, TPrimitiveType::TriangleList);
      if (run.texture) {
        T3DTexture* stages[] = {run.texture};
        ok =
            renderer->DrawVertexList(stages, dfTextured | dfModulateColor | dfModulateAlpha, *list);
      } else {
        ok = renderer->DrawVertexList({}, 0, *list);
      }
      ++lastDrawCalls_;
    }
    first += count;
  }
  runs_.clear();
  return ok && list;
}

}  // namespace vyr
