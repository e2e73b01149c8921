// A text object's keys on arbitrary bytes, built into a slide, laid out and its text picture
// rendered with the system fonts: texts of any length and content stay within the character
// budget.
#include <cstddef>
#include <cstdint>
#include <string>

#include "package/access/file_accessor.h"
#include "player/loader/layout_only_drawer.h"
#include "project/ini/ini.h"
#include "scene/host/slide_host.h"
#include "scene/objects/vyr_slide.h"
#include "scene/objects/vyr_text.h"

namespace {

class TNoFiles : public vyr::TFileSource {
 protected:
  vyr::TRef<vyr::TStream> Open(const std::string&) override { return nullptr; }
};

void RenderTexts(vyr::TVyrObject& object) {
  if (auto* text = dynamic_cast<vyr::TVyrText*>(&object))
    if (text->EnsureImage() && text->Picture()) text->Picture()->Bitmap();
  for (int i = 0; i < object.ChildCount(); ++i) RenderTexts(*object.Child(i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vyr;
  const std::string keys(reinterpret_cast<const char*>(data), size);
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8(
      "[Main]\n[Times]\nopt_slidescount=1\nopt_synchpos1=5000\n[Slide1]\n"
      "object Root:Root\nobject t:Text\nGUID={fuzz}\n" +
      keys + "\nend\nend\n");
  THostSettings settings;
  settings.slideCount = 1;
  auto host = MakeRef<TVyrSlideHost>(MakeRef<TFileAccessor>(MakeRef<TNoFiles>(), "/nonexistent/"),
                                     settings);
  host->SetFrameSize(320, 240);
  auto slide = MakeRef<TVyrSlide>(host, nullptr, false);
  slide->SetOwnSize(320, 240);
  slide->SetReferenceOrigin(160, 120);
  slide->BuildFromSection(FindSection(project.Get(), "Main"), FindSection(project.Get(), "Slide1"),
                          false, 0, 0, 0, 0, 0, false, FindSection(project.Get(), "Times"));
  TLayoutOnlyDrawer drawer;
  slide->PrepareResources(drawer);
  slide->Advance(true, 1000);
  RenderTexts(*slide);
  return 0;
}
