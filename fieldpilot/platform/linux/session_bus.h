// The session bus: where the accessibility bus is announced and the Wayland compositors offer
// their services.
#pragma once

#include <gio/gio.h>

#include "g_ref.h"

namespace fieldpilot::platform::live {

// A connection of our own to the bus DBUS_SESSION_BUS_ADDRESS names; none when it names none or
// the bus does not answer. Never a bus started for us.
GRef<GDBusConnection> openSessionBus();

// Whether a peer owns the well-known name; false when the bus does not answer in time.
bool nameHasOwner(GDBusConnection* bus, const char* name, int timeoutMs);

}  // namespace fieldpilot::platform::live
