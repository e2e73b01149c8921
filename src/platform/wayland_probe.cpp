#include "platform/wayland_probe.h"

#include <SDL2/SDL.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vyr {

bool WaylandVideoStarts() {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland");
    const bool ok = SDL_VideoInit("wayland") == 0 && SDL_GetNumVideoDisplays() > 0;
    _exit(ok ? 0 : 1);  // no clean-up: the parent owns everything the child inherited
  }
  for (int waited = 0; waited < 5000; waited += 10) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child)
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    usleep(10 * 1000);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return false;
}

}  // namespace vyr
