// A keyboard of our own on the compositor's seat (zwp_virtual_keyboard_v1), with a keymap of our
// own, so that the keys we press mean the same whatever layout the user types with. Its modifier
// state is its own too: a modifier the user holds on a real keyboard never joins our keys.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <optional>

#include "window_system.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace fieldpilot::platform::live {

class VirtualKeyboard {
  public:
    // Connects to the compositor WAYLAND_DISPLAY names and looks for the seat and the manager.
    VirtualKeyboard();
    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    // Whether the compositor offers virtual keyboards on a seat and our keymap compiled.
    bool available() const;
    // Adds the keyboard to the seat with our keymap, once; true when it is there.
    bool joinSeat();
    // Presses or releases the key, waiting until the compositor has taken it. The keyboard joins
    // the seat on the first key.
    void press(std::uint16_t evdevCode, bool down);
    // What each key types under our keymap.
    KeyCharacters characters() const;

    // Callbacks of the compositor's registry.
    void announce(wl_registry* registry, std::uint32_t name, const char* interface,
                  std::uint32_t version);

  private:
    bool uploadKeymap();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwp_virtual_keyboard_manager_v1* manager_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    bool keymapUploaded_ = false;
};

}  // namespace fieldpilot::platform::live
