// The built-in demo desktop: a notes application in front, with a note being typed.
#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

constexpr std::string_view kDemoDesktop = R"({
  "frontmost": 4242,
  "apps": [
    {
      "pid": 4242,
      "name": "Notes",
      "bundleId": "com.example.notes",
      "bundlePath": "/Applications/Notes.app",
      "AXRole": "AXApplication",
      "AXTitle": "Notes",
      "AXFrontmost": true,
      "AXFocusedWindow": {"element": "window"},
      "AXMainWindow": {"element": "window"},
      "AXWindows": [{"element": "window"}],
      "AXChildren": [{"element": "window"}],
      "AXFocusedUIElement": {"element": "note"}
    }
  ],
  "elements": {
    "window": {
      "pid": 4242,
      "AXRole": "AXWindow",
      "AXSubrole": "AXStandardWindow",
      "AXTitle": "Shopping list",
      "AXMain": true,
      "AXFocused": false,
      "AXPosition": {"point": [100, 80]},
      "AXSize": {"size": [900, 640]},
      "AXParent": {"element": "app:4242"},
      "AXChildren": [{"element": "toolbar"}, {"element": "scrollArea"}]
    },
    "toolbar": {
      "pid": 4242,
      "AXRole": "AXToolbar",
      "AXFocused": false,
      "AXParent": {"element": "window"},
      "AXChildren": [{"element": "newNoteButton"}]
    },
    "newNoteButton": {
      "pid": 4242,
      "AXRole": "AXButton",
      "AXTitle": "New Note",
      "AXFocused": false,
      "AXParent": {"element": "toolbar"},
      "AXChildren": []
    },
    "scrollArea": {
      "pid": 4242,
      "AXRole": "AXScrollArea",
      "AXFocused": false,
      "AXPosition": {"point": [100, 132]},
      "AXSize": {"size": [900, 588]},
      "AXParent": {"element": "window"},
      "AXChildren": [{"element": "note"}]
    },
    "note": {
      "pid": 4242,
      "AXRole": "AXTextArea",
      "AXValue": "Hello, world!",
      "AXPlaceholderValue": "Type a note",
      "AXFocused": true,
      "AXEnabled": true,
      "AXPosition": {"point": [112, 144]},
      "AXSize": {"size": [876, 564]},
      "AXParent": {"element": "scrollArea"},
      "AXChildren": [],
      "settable": ["AXValue", "AXFocused", "AXSelectedTextRange"],
      "selection": [7, 5]
    }
  },
  "systemWide": {
    "AXRole": "AXSystemWide",
    "AXFocusedUIElement": {"element": "note"}
  },
  "windows": {
    "37": {"kCGWindowNumber": 37, "kCGWindowOwnerPID": 4242, "kCGWindowOwnerName": "Notes",
           "kCGWindowLayer": 0, "kCGWindowIsOnscreen": true}
  },
  "clipboard": "Milk, eggs, bread",
  "files": ["/Applications/Notes.app"]
})";

}  // namespace

std::unique_ptr<SimDesktop> SimDesktop::demo() {
    return fromText(kDemoDesktop);
}

}  // namespace fieldpilot::sim
