#include "audio/output/device_factory.h"

#include <cstdlib>

#include "audio/output/capture_backend.h"
#include "foundation/log.h"

namespace vyr {

TRef<TSoftWaveOutDevice> CreateWaveOutDevice(const std::string& choice) {
  if (choice == "null") return MakeRef<TSoftWaveOutDevice>(MakeNullBackend());
  if (choice.starts_with("capture:")) {
    auto backend = std::make_unique<TCaptureBackend>();
    TCaptureBackend* capture = backend.get();
    auto device = MakeRef<TSoftWaveOutDevice>(std::move(backend));
    if (!capture->WriteToFile(choice.substr(8)))
      WriteLine("Audio: cannot write the capture file " + choice.substr(8));
    capture->PullContinuously();
    return device;
  }
  auto device = MakeRef<TSoftWaveOutDevice>(MakeSdlBackend());
  if (device->IsOK()) return device;
  WriteLine("Audio: no sound device opens, the show plays silently");
  return MakeRef<TSoftWaveOutDevice>(MakeNullBackend());
}

TRef<TSoftWaveOutDevice> CreateWaveOutDeviceFromEnvironment() {
  const char* value = std::getenv("VYR_AUDIO");
  return CreateWaveOutDevice(value ? value : "sdl");
}

}  // namespace vyr
