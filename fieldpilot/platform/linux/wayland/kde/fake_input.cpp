#include "wayland/kde/fake_input.h"

#include <wayland-client.h>

#include <string_view>

#include "fake-input-client-protocol.h"

namespace fieldpilot::platform::live {
namespace {

// keyboard_key came with version 4.
constexpr std::uint32_t kKeysVersion = 4;

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    static_cast<FakeInput*>(data)->announce(registry, name, interface, version);
}

void onGlobalRemoved(void*, wl_registry*, std::uint32_t) {}

constexpr wl_registry_listener kRegistryListener{onGlobal, onGlobalRemoved};

}  // namespace

FakeInput::FakeInput() {
    display_ = wl_display_connect(nullptr);
    if (!display_)
        return;
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    wl_display_roundtrip(display_);
}

// Version 4 has no destructor request: the proxy goes with the connection.
FakeInput::~FakeInput() {
    if (input_)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(input_));
    if (registry_)
        wl_registry_destroy(registry_);
    if (display_) {
        wl_display_roundtrip(display_);
        wl_display_disconnect(display_);
    }
}

void FakeInput::announce(wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version) {
    if (std::string_view(interface) != org_kde_kwin_fake_input_interface.name || input_ ||
        version < kKeysVersion)
        return;
    input_ = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, kKeysVersion));
}

void FakeInput::press(std::uint16_t evdevCode, bool down) {
    if (!input_)
        return;
    if (!authenticated_) {
        org_kde_kwin_fake_input_authenticate(input_, "fieldpilot",
                                             "Types shortcuts into the focused text field");
        authenticated_ = true;
    }
    org_kde_kwin_fake_input_keyboard_key(
        input_, evdevCode, down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    wl_display_roundtrip(display_);
}

}  // namespace fieldpilot::platform::live
