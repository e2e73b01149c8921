#pragma once
// ALSA's library prints its own complaints on standard error (a machine without a sound card
// gets about ten "ALSA lib ..." lines from SDL's probe). They go to the process log instead.

namespace vyr {

// Idempotent; SDL loads the same libasound, so its probes are covered too.
void RouteAlsaMessagesToLog();

}  // namespace vyr
