# Keeps a mutter remote desktop session, and with it a keyboard on the seat, until standard input
# closes: GTK reports no active window on a seat without a keyboard. Presses Escape first, which
# leaves the overview gnome-shell starts in. Prints "ready" once the key is through.
import sys

from gi.repository import Gio, GLib

SERVICE = "org.gnome.Mutter.RemoteDesktop"
SESSION = SERVICE + ".Session"
ESCAPE = 1  # evdev KEY_ESC


def call(bus, path, interface, method, parameters=None):
    return bus.call_sync(SERVICE, path, interface, method, parameters, None,
                         Gio.DBusCallFlags.NONE, 5000, None)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    path = call(bus, "/org/gnome/Mutter/RemoteDesktop", SERVICE, "CreateSession").unpack()[0]
    call(bus, path, SESSION, "Start")
    for pressed in (True, False):
        call(bus, path, SESSION, "NotifyKeyboardKeycode", GLib.Variant("(ub)", (ESCAPE, pressed)))
    print("ready", flush=True)
    sys.stdin.read()
    call(bus, path, SESSION, "Stop")


main()
