#include "decode_command.h"

#include <charconv>
#include <cstdio>
#include <fstream>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/png_writer.h"
#include "imaging/colour/color_transform.h"
#include "imaging/decode/decoder_registry.h"

namespace vyr {

namespace {

constexpr const char* kUsage =
    "usage: vyrpack decode INPUT OUTPUT.png [--level N] [--profile NAME|FILE]\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "vyrpack decode: %s\n", message.c_str());
  return 1;
}

// A built-in profile by name, else the ICC file of that path.
TRef<TColorProfile> ProfileNamed(const std::string& name) {
  if (TRef<TColorProfile> builtin = BuiltinProfile(name)) return builtin;
  std::ifstream in(name, std::ios::binary);
  if (!in) return nullptr;
  std::vector<uint8_t> icc((std::istreambuf_iterator<char>(in)), {});
  return ProfileFromIcc(std::move(icc), name);
}

}  // namespace

int RunDecodeCommand(const std::vector<std::string>& args, const TStreamOpener& open) {
  std::vector<std::string> files;
  int level = 0;
  std::string profileName;
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--level" || args[i] == "--profile") && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (args[i - 1] == "--profile") {
        profileName = value;
        continue;
      }
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), level);
      if (error != std::errc() || end != value.data() + value.size() || level < 0 || level > 30) {
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else if (args[i].rfind("--", 0) == 0) {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& input = files[0];
  const std::string& output = files[1];

  TRef<TColorProfile> outputProfile;
  if (!profileName.empty() && !(outputProfile = ProfileNamed(profileName)))
    return Fail("no such profile: " + profileName);

  const std::string path = input.substr(0, input.rfind('|'));
  TRef<TStream> stream = open ? open(path) : OpenStreamByName(path);
  if (!stream) return Fail("cannot open " + path);
  TRef<TImage> image;
  TRef<TBitmap> bitmap;
  try {
    image = DecodePicture(stream, input);
    if (!image) return Fail("not a picture this player decodes: " + input);
    const bool alpha = image->Format() && image->Format()->HasAlpha();
    bitmap = image->Store().GetMipLevel(level, alpha ? pf::A8R8G8B8() : pf::R8G8B8(),
                                        TBitmapClass::SysBitmap);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  if (outputProfile) {
    if (TRef<TColorTransform> transform =
            MakeColorTransform(image->Store().Profile(), outputProfile)) {
      bitmap = bitmap->Clone();  // the store's bitmap stays as decoded
      transform->Apply(static_cast<TSysBitmap&>(*bitmap));
    }
  }
  std::string error;
  if (!WritePng(*bitmap, output, error)) return Fail("cannot write " + output + ": " + error);
  return 0;
}

}  // namespace vyr
