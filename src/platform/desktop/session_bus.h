#pragma once
// The desktop's session bus, served by a thread of its own: GDBus calls and the callbacks of
// the services the player offers run there, never on the window's thread, so a slow or absent
// bus never holds up a frame. Without a bus every request is dropped after one log line.

#include <functional>
#include <memory>

typedef struct _GDBusConnection GDBusConnection;

namespace vyr {

class TSessionBus {
 public:
  TSessionBus();
  // Sends what is queued (a released inhibition, a last signal) before it lets go.
  ~TSessionBus();
  TSessionBus(const TSessionBus&) = delete;
  TSessionBus& operator=(const TSessionBus&) = delete;

  // Runs the task on the bus thread with the connection, in the order of the calls; the
  // connection is null when there is no bus. Tasks queued while the bus is being reached wait.
  void Invoke(std::function<void(GDBusConnection* connection)> task);

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

}  // namespace vyr
