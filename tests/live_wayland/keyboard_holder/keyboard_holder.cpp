// Keeps a virtual keyboard on the compositor's seat until its standard input closes: headless
// compositors start without a keyboard, and GTK reports no active window on a seat without one.
// Prints "ready" once the keyboard is there.
#include <unistd.h>

#include <cstdio>

#include "wayland/wlroots/virtual_keyboard.h"

int main() {
    fieldpilot::platform::live::VirtualKeyboard keyboard;
    if (!keyboard.joinSeat()) {
        std::fprintf(stderr, "no virtual keyboard on this compositor\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    char ignored = 0;
    while (read(STDIN_FILENO, &ignored, 1) > 0) {
    }
    return 0;
}
