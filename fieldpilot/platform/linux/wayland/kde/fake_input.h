// Keys through KWin's org_kde_kwin_fake_input. KWin offers the interface only to a program that an
// installed .desktop file names with X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input, and takes
// keys only after the program has told why it wants them (authenticate). The keys are evdev codes
// that KWin types through its active layout, with the modifiers of its own keyboard state: a
// modifier the user holds joins them.
#pragma once

#include <cstdint>

struct wl_display;
struct wl_registry;
struct org_kde_kwin_fake_input;

namespace fieldpilot::platform::live {

class FakeInput {
  public:
    // Connects to the compositor WAYLAND_DISPLAY names and looks for the interface.
    FakeInput();
    ~FakeInput();
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;

    // Whether KWin offers us the interface with keys (version 4).
    bool available() const { return input_ != nullptr; }
    // Presses or releases the key, waiting until KWin has taken it.
    void press(std::uint16_t evdevCode, bool down);

    // Callback of the compositor's registry.
    void announce(wl_registry* registry, std::uint32_t name, const char* interface,
                  std::uint32_t version);

  private:
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    org_kde_kwin_fake_input* input_ = nullptr;
    bool authenticated_ = false;
};

}  // namespace fieldpilot::platform::live
