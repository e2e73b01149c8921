#include <SDL.h>

#include "audio/output/alsa_messages.h"
#include "audio/output/audio_backend.h"

namespace vyr {

namespace {

class TSdlBackend : public TAudioBackend {
 public:
  ~TSdlBackend() override { Stop(); }

  bool Start(TSoftMixer& mixer) override {
    RouteAlsaMessagesToLog();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    initialised_ = true;
    SDL_AudioSpec want{};
    want.freq = kMixingRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &TSdlBackend::Callback;
    want.userdata = &mixer;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      Stop();
      return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void Stop() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    initialised_ = false;
  }

  TAudioClock& Clock() override { return TSystemClock::Instance(); }
  const char* Name() const override { return "sdl"; }

 private:
  // SDL's audio thread: mixes without waiting.
  static void Callback(void* userdata, Uint8* stream, int len) {
    static_cast<TSoftMixer*>(userdata)->Mix(reinterpret_cast<int16_t*>(stream),
                                            static_cast<size_t>(len) / kMixingFrameBytes);
  }

  SDL_AudioDeviceID device_ = 0;
  bool initialised_ = false;
};

}  // namespace

std::unique_ptr<TAudioBackend> MakeSdlBackend() { return std::make_unique<TSdlBackend>(); }

}  // namespace vyr
