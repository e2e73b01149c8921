#include "scene/button/button_host_link.h"

#include <string>

#include "scene/host/slide_host.h"

namespace vyr {

std::shared_ptr<TButtonProducerHost> InstallButtonProducer(TVyrSlideHost& host) {
  // The host drops its producers when it goes, so a plain pointer to it is safe here.
  TVyrSlideHost* owner = &host;
  auto producers =
      std::make_shared<TButtonProducerHost>(host.ThemeFolder(), [owner] { return owner->GoOn(); });
  host.SetReservedProducer(std::string(kButtonPrefix), [owner, producers](const std::string& name) {
    return ProduceButtonPicture(name, *producers, owner->Files());
  });
  return producers;
}

}  // namespace vyr
