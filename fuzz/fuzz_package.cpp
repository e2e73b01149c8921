// Arbitrary bytes as a package file: open it, then open and read every entry.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "package/container/vyr_unpack.h"

namespace {

const std::string& FuzzFile() {
  static const std::string path = "/tmp/fuzz_package_" + std::to_string(::getpid()) + ".bin";
  return path;
}

void ReadToEnd(vyr::TStream& stream) {
  char chunk[4096];
  while (stream.Read(chunk, sizeof chunk) > 0) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (FILE* file = std::fopen(FuzzFile().c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  } else {
    return 0;
  }
  // A small inflate limit keeps each run quick; the limit itself is what is exercised.
  const auto package = vyr::MakeRef<vyr::TVyrUnpack>(FuzzFile(), int64_t{4} << 20);
  if (!package->IsOpen()) return 0;
  for (const auto& entry : package->Directory()->Entries()) {
    try {
      if (auto stream = package->OpenSection(entry.section)) {
        ReadToEnd(*stream);
        if (stream->Size() > 1) {
          stream->Seek(stream->Size() / 2);
          ReadToEnd(*stream);
        }
      }
    } catch (const vyr::TCommonException&) {
      // Damaged entries fail with the reader's own errors; anything else is a finding.
    }
  }
  package->FindEntry("Project.vyr");
  return 0;
}
