#include "wayland/wlroots/virtual_keyboard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string_view>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wayland/keymap_characters.h"

namespace fieldpilot::platform::live {
namespace {

// The keymap our keys are typed with: a plain US keyboard, as evdev numbers its keys.
constexpr xkb_rule_names kOwnKeymap{"evdev", "pc105", "us", "", ""};
constexpr std::uint32_t kXkbKeycodeOffset = 8;
constexpr std::uint32_t kSeatVersion = 1;
constexpr std::uint32_t kManagerVersion = 1;

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    static_cast<VirtualKeyboard*>(data)->announce(registry, name, interface, version);
}

void onGlobalRemoved(void*, wl_registry*, std::uint32_t) {}

constexpr wl_registry_listener kRegistryListener{onGlobal, onGlobalRemoved};

std::uint32_t milliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};

}  // namespace

VirtualKeyboard::VirtualKeyboard() {
    display_ = wl_display_connect(nullptr);
    if (!display_)
        return;
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    wl_display_roundtrip(display_);
    // The environment's XKB_DEFAULT_* must not change our keymap.
    context_ = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (context_)
        keymap_ = xkb_keymap_new_from_names(context_, &kOwnKeymap, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap_)
        state_ = xkb_state_new(keymap_);
}

VirtualKeyboard::~VirtualKeyboard() {
    if (keyboard_)
        zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (manager_)
        zwp_virtual_keyboard_manager_v1_destroy(manager_);
    if (seat_)
        wl_seat_destroy(seat_);
    if (registry_)
        wl_registry_destroy(registry_);
    if (display_) {
        wl_display_roundtrip(display_);
        wl_display_disconnect(display_);
    }
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

void VirtualKeyboard::announce(wl_registry* registry, std::uint32_t name, const char* interface,
                               std::uint32_t) {
    const std::string_view offered(interface);
    if (offered == wl_seat_interface.name && !seat_) {
        seat_ = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, kSeatVersion));
    } else if (offered == zwp_virtual_keyboard_manager_v1_interface.name && !manager_) {
        manager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(wl_registry_bind(
            registry, name, &zwp_virtual_keyboard_manager_v1_interface, kManagerVersion));
    }
}

bool VirtualKeyboard::available() const {
    return display_ && seat_ && manager_ && state_;
}

// The compositor maps the keymap from a file; it expects the text with its terminating NUL.
bool VirtualKeyboard::uploadKeymap() {
    const std::unique_ptr<char, FreeDeleter> text(
        xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1));
    if (!text)
        return false;
    const std::size_t size = std::strlen(text.get()) + 1;
    const int file = memfd_create("fieldpilot-keymap", MFD_CLOEXEC);
    if (file < 0)
        return false;
    bool written = ftruncate(file, static_cast<off_t>(size)) == 0;
    if (written) {
        void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        written = mapped != MAP_FAILED;
        if (written) {
            std::memcpy(mapped, text.get(), size);
            munmap(mapped, size);
        }
    }
    if (written) {
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, file,
                                       static_cast<std::uint32_t>(size));
    }
    close(file);
    return written;
}

bool VirtualKeyboard::joinSeat() {
    if (keyboard_)
        return keymapUploaded_;
    if (!available())
        return false;
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat_);
    keymapUploaded_ = uploadKeymap();
    return keymapUploaded_ && wl_display_roundtrip(display_) >= 0;
}

// wlroots does not derive modifiers from a virtual keyboard's keys: the client tells them, from
// its own state of our keymap, after every key.
void VirtualKeyboard::press(std::uint16_t evdevCode, bool down) {
    if (!joinSeat())
        return;
    zwp_virtual_keyboard_v1_key(
        keyboard_, milliseconds(), evdevCode,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    xkb_state_update_key(state_, evdevCode + kXkbKeycodeOffset, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    zwp_virtual_keyboard_v1_modifiers(
        keyboard_, xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
        xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
        xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
        xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE));
    wl_display_roundtrip(display_);
}

KeyCharacters VirtualKeyboard::characters() const {
    return charactersOf(keymap_);
}

}  // namespace fieldpilot::platform::live
