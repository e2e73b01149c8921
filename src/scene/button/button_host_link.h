#pragma once
// Makes a slide host answer "Button: " names from one list of theme producers, which the
// buttons' theme loading uses too.

#include <memory>

#include "scene/button/button_producer.h"

namespace vyr {

class TVyrSlideHost;

// The producers live as long as the host keeps the installed producer; the caller may keep
// the list for the buttons' theme loading (TButtonProducerHost::LoadTheme).
std::shared_ptr<TButtonProducerHost> InstallButtonProducer(TVyrSlideHost& host);

}  // namespace vyr
