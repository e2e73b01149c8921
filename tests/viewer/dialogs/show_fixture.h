#pragma once
// A small packed show for the dialog tests: a JPEG slide, a PNG slide and a slide without a
// picture, with the [Main] keys a test asks for.

#include <cstdlib>
#include <string>

#include "imaging/bitmap/png_writer.h"
#include "package/access/show_opener.h"
#include "package/access_fixture.h"
#include "package/package_fixture.h"

namespace vyr::test {

class TDialogShow {
 public:
  // mainKeys: lines of [Main], each ending in "\r\n".
  explicit TDialogShow(const std::string& mainKeys = {}) {
    const std::string jpeg = dir_ / "photo.jpg";
    jpegMade_ = std::system(("/usr/bin/convert -size 40x30 gradient:red-blue -quality 90 '" + jpeg +
                             "' >/dev/null 2>&1")
                                .c_str()) == 0;
    jpegBytes_ = ReadFile(jpeg);
    png_ = MakeRef<TDirectBitmap>(9, 6, pf::R8G8B8());
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 9; ++x) {
        uint8_t* p = png_->Row(y) + 3 * x;
        p[0] = static_cast<uint8_t>(x * 28);
        p[1] = static_cast<uint8_t>(y * 40);
        p[2] = 200;
      }
    std::string error;
    WritePng(*png_, dir_ / "art.png", error);
    const std::string project = "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\n" + mainKeys +
                                "[Times]\r\nopt_slidescount=3\r\n"
                                "[Slide1]\r\npicture=pictures\\photo.jpg\r\n"
                                "[Slide2]\r\npicture=pictures/art.png\r\n"
                                "[Slide3]\r\n";
    WritePackage(Path(), {{"Project.vyr", project, TPackMethod::Deflated},
                          {"pictures\\photo.jpg", jpegBytes_, TPackMethod::Deflated},
                          {"pictures/art.png", ReadFile(dir_ / "art.png"), TPackMethod::Stored}});
    show_ = OpenShow(Path());
  }

  std::string Path() const { return dir_ / "show.vyshow"; }
  std::string Dir(const std::string& name) const { return dir_ / name; }
  const TOpenedShow& Show() const { return show_; }
  bool JpegMade() const { return jpegMade_; }
  const std::string& JpegBytes() const { return jpegBytes_; }
  const TDirectBitmap& Png() const { return *png_; }

 private:
  TTempDir dir_;
  bool jpegMade_ = false;
  std::string jpegBytes_;
  TRef<TDirectBitmap> png_;
  TOpenedShow show_;
};

}  // namespace vyr::test
