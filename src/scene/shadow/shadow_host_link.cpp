#include "scene/shadow/shadow_host_link.h"

#include <string>

#include "scene/host/slide_host.h"
#include "scene/shadow/shadow_generator.h"

namespace vyr {

void InstallShadowProducer(TVyrSlideHost& host) {
  // The host drops its producers when it goes, so a plain pointer to it is safe here.
  TVyrSlideHost* owner = &host;
  host.SetReservedProducer(std::string(kShadowPrefix), [owner](const std::string& name) {
    return ProduceShadowPicture(name, &owner->Files(), [owner] { return owner->GoOn(); });
  });
}

}  // namespace vyr
