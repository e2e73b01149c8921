// vyr_test_pointer: a pointer for tests under a headless wlroots compositor, whose seat has no
// pointer of its own. It joins the seat as a virtual pointer (the compositor's
// zwlr_virtual_pointer_v1 protocol, declared here by hand: the protocol's XML is not packaged)
// and performs one gesture:
//   vyr_test_pointer WIDTHxHEIGHT X Y click BUTTON   (1 left, 2 middle, 3 right)
//   vyr_test_pointer WIDTHxHEIGHT X Y wheel NOTCHES  (positive: away from the user)
// X and Y are layout coordinates on an output of WIDTH x HEIGHT at the origin.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

const wl_message kPointerRequests[] = {
    {"motion", "uff", nullptr},   {"motion_absolute", "uuuuu", nullptr},
    {"button", "uuu", nullptr},   {"axis", "uuf", nullptr},
    {"frame", "", nullptr},       {"axis_source", "u", nullptr},
    {"axis_stop", "uu", nullptr}, {"axis_discrete", "uufi", nullptr},
    {"destroy", "", nullptr},
};
const wl_interface kPointerInterface = {"zwlr_virtual_pointer_v1", 2, 9,
                                        kPointerRequests,          0, nullptr};
const wl_interface* kCreateTypes[] = {&wl_seat_interface, &kPointerInterface};
const wl_message kManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreateTypes},
    {"destroy", "", nullptr},
};
const wl_interface kManagerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, nullptr};

struct TGlobals {
  wl_seat* seat = nullptr;
  wl_proxy* manager = nullptr;
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<TGlobals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat)
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  if (std::strcmp(interface, kManagerInterface.name) == 0)
    globals->manager =
        static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManagerInterface, 1));
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {Global, GlobalRemove};

uint32_t Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint32_t>(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

}  // namespace

int main(int argc, char** argv) {
  unsigned width = 0, height = 0;
  if (argc != 6 || std::sscanf(argv[1], "%ux%u", &width, &height) != 2) {
    std::fprintf(stderr, "usage: vyr_test_pointer WxH X Y click BUTTON|wheel NOTCHES\n");
    return 2;
  }
  const unsigned x = static_cast<unsigned>(std::atoi(argv[2]));
  const unsigned y = static_cast<unsigned>(std::atoi(argv[3]));
  const std::string gesture = argv[4];
  const int amount = std::atoi(argv[5]);
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "vyr_test_pointer: no compositor\n");
    return 1;
  }
  TGlobals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &globals);
  wl_display_roundtrip(display);
  if (!globals.seat || !globals.manager) {
    std::fprintf(stderr, "vyr_test_pointer: the compositor offers no virtual pointer\n");
    return 1;
  }
  wl_proxy* pointer =
      wl_proxy_marshal_constructor(globals.manager, 0, &kPointerInterface, globals.seat, nullptr);
  wl_proxy_marshal(pointer, 1, Now(), x, y, width, height);  // motion_absolute
  wl_proxy_marshal(pointer, 4);                              // frame
  wl_display_roundtrip(display);
  // The client under the pointer sees it arrive before the gesture.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (gesture == "click") {
    const uint32_t button = amount == 3 ? BTN_RIGHT : amount == 2 ? BTN_MIDDLE : BTN_LEFT;
    for (uint32_t state : {1u, 0u}) {
      wl_proxy_marshal(pointer, 2, Now(), button, state);
      wl_proxy_marshal(pointer, 4);
      wl_display_roundtrip(display);
    }
  } else if (gesture == "wheel") {
    // The vertical axis grows towards the user: a notch away from the user is negative.
    const int discrete = -amount;
    wl_proxy_marshal(pointer, 5, 0u);  // axis_source: wheel
    wl_proxy_marshal(pointer, 7, Now(), 0u, wl_fixed_from_int(15 * discrete), discrete);
    wl_proxy_marshal(pointer, 4);
    wl_display_roundtrip(display);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  wl_proxy_marshal(pointer, 8);  // destroy
  wl_proxy_destroy(pointer);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
