#pragma once
// A drawer that records what the scene asks of it.

#include <string>
#include <vector>

#include "scene/device_drawer.h"

namespace vyr::test {

struct TDrawCall {
  std::string op;  // "image", "box", "line", "video", "masked", "blur", "sharpen", ...
  TImage* image = nullptr;
  TImageDrawParams imageParams;
  TPlacement placement;
  TFloatRect rect;
  TBoxDrawParams boxParams;
  float amount = 0;
};

class TRecordingDrawer : public TDeviceDrawer {
 public:
  std::vector<TDrawCall> calls;
  int frames = 0;

  bool BeginFrame() override {
    ++frames;
    return true;
  }
  void DrawTransition(TDrawItem& leaving, TDrawItem&, TVyrFilter*) override { DrawItem(leaving); }
  void DrawImage(TImage& image, const TImageDrawParams& params) override {
    TDrawCall call{"image"};
    call.image = &image;
    call.imageParams = params;
    calls.push_back(call);
  }
  void DrawBox(const TPlacement& placement, const TFloatRect& rect,
               const TBoxDrawParams& params) override {
    TDrawCall call{"box"};
    call.placement = placement;
    call.rect = rect;
    call.boxParams = params;
    calls.push_back(call);
  }
  void DrawLine(const TVec3&, const TVec3&, uint32_t) override { calls.push_back({"line"}); }
  void DrawVideo(const TVideoDrawParams&) override { calls.push_back({"video"}); }
  void DrawMasked(TDrawItem& stencil, TDrawItem& content, float opacity) override {
    TDrawCall call{"masked"};
    call.amount = opacity;
    calls.push_back(call);
    DrawItem(stencil);
    DrawItem(content);
  }
  void BeginSharpen() override { calls.push_back({"begin-sharpen"}); }
  void EndSharpen(float amount) override {
    TDrawCall call{"end-sharpen"};
    call.amount = amount;
    calls.push_back(call);
  }
  void DrawBlurred(TDrawItem& item, float radius) override {
    TDrawCall call{"blur"};
    call.amount = radius;
    calls.push_back(call);
    item.Draw(*this);
  }
  void FillRect(uint32_t, const TIntRect&) override { calls.push_back({"fill"}); }

  int Count(const std::string& op) const {
    int n = 0;
    for (const auto& call : calls) n += call.op == op;
    return n;
  }
};

}  // namespace vyr::test

#include <map>

#include "foundation/stream.h"
#include "package/access/file_accessor.h"
#include "package/access/file_source.h"
#include "project/ini/ini.h"
#include "scene/host/slide_host.h"
#include "scene/objects/vyr_slide.h"

namespace vyr::test {

// Files held in memory.
class TMemoryFileSource : public TFileSource {
 public:
  std::map<std::string, std::vector<uint8_t>> files;

 protected:
  TRef<TStream> Open(const std::string& name) override {
    auto it = files.find(name);
    if (it == files.end()) return nullptr;
    return MakeRef<TMemoryStream>(it->second);
  }
};

// A 24-bit BMP of one colour.
inline std::vector<uint8_t> MakeBmp(int width, int height, uint8_t r = 200, uint8_t g = 100,
                                    uint8_t b = 50) {
  const int stride = (width * 3 + 3) / 4 * 4;
  const uint32_t imageSize = uint32_t(stride) * height, fileSize = 54 + imageSize;
  std::vector<uint8_t> out(fileSize, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, fileSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  out[26] = 1;
  out[28] = 24;
  put32(34, imageSize);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &out[54 + size_t(y) * stride + size_t(x) * 3];
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  return out;
}

// One slide built from the objects of its root, shown in a frame of frameWidth x frameHeight
// with the design frame filling it.
class TSceneFixture {
 public:
  TSceneFixture(const std::string& objects, int frameWidth = 1000, int frameHeight = 1000,
                int designWidth = 0, int designHeight = 0, const std::string& slideKeys = "")
      : frameWidth_(frameWidth), frameHeight_(frameHeight) {
    designWidth_ = designWidth > 0 ? designWidth : frameWidth;
    designHeight_ = designHeight > 0 ? designHeight : frameHeight;
    source = MakeRef<TMemoryFileSource>();
    project = MakeRef<TIniFile>();
    project->LoadFromUtf8("[Main]\n[Times]\nopt_slidescount=1\nopt_synchpos1=5000\n[Slide1]\n" +
                          slideKeys + "object Root:Root\n" + objects + "end\n");
  }

  TVyrSlide& Build(double inDuration = 0, double outDuration = 0) {
    THostSettings settings;
    settings.slideCount = 7;
    settings.colorManagement = colorManagement;
    host = MakeRef<TVyrSlideHost>(MakeRef<TFileAccessor>(source, "/nonexistent-show-folder/"),
                                  settings);
    host->SetFrameSize(frameWidth_, frameHeight_);
    slide = MakeRef<TVyrSlide>(host, nullptr, false);
    slide->SetOwnSize(float(designWidth_), float(designHeight_));
    slide->SetReferenceOrigin(frameWidth_ / 2.0f, frameHeight_ / 2.0f);
    Rebuild(inDuration, outDuration);
    return *slide;
  }

  void Rebuild(double inDuration = 0, double outDuration = 0) {
    slide->BuildFromSection(FindSection(project.Get(), "Main"),
                            FindSection(project.Get(), "Slide1"), false, outDuration, 0, inDuration,
                            0, 0, false, FindSection(project.Get(), "Times"));
    slide->Props().SetAnimatedValue(kValueScaleX, 100.0f * frameWidth_ / designWidth_);
    slide->Props().SetAnimatedValue(kValueScaleY, 100.0f * frameHeight_ / designHeight_);
  }

  // Pictures and layout at show time t.
  void At(double t) {
    TRecordingDrawer drawer;
    slide->PrepareResources(drawer);
    slide->Advance(true, t);
  }

  TVyrObject* Find(const std::string& name, TVyrObject* from = nullptr) const {
    TVyrObject* root = from ? from : slide.Get();
    if (root->Name() == name && root != slide.Get()) return root;
    for (int i = 0; i < root->ChildCount(); ++i)
      if (TVyrObject* found = Find(name, root->Child(i))) return found;
    return nullptr;
  }

  bool colorManagement = false;  // the host converts colours to the output profile
  TRef<TMemoryFileSource> source;
  TRef<TIniFile> project;
  TRef<TVyrSlideHost> host;
  TRef<TVyrSlide> slide;

 private:
  int frameWidth_, frameHeight_, designWidth_, designHeight_;
};

// An object block.
inline std::string Obj(const std::string& name, const std::string& cls, const std::string& keys,
                       const std::string& body = "") {
  static int counter = 0;
  return "object " + name + ":" + cls + "\nGUID={" + name + "-" + std::to_string(++counter) +
         "}\n" + keys + body + "end\n";
}
inline std::string KeyPoint(const std::string& keys) {
  return "object k:KeyPoint\n" + keys + "end\n";
}

}  // namespace vyr::test
