#pragma once
// Makes a slide host answer "Shadow: " names: the shadow is generated from the host's files,
// yielding through the host's load-yield hook.

namespace vyr {

class TVyrSlideHost;

void InstallShadowProducer(TVyrSlideHost& host);

}  // namespace vyr
