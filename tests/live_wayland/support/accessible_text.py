# Prints the text of the focused text element of the process given by its pid, as AT-SPI reports
# it: the truth the Wayland tests check fieldpilot's writes against, read without fieldpilot.
# Exits with status 1 when the process has no focused text element.
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

DEEPEST = 60


def focused_text(node, depth=0):
    if node is None or depth > DEEPEST:
        return None
    states = node.get_state_set()
    if states.contains(Atspi.StateType.FOCUSED) and "Text" in node.get_interfaces():
        return node
    for index in range(node.get_child_count()):
        found = focused_text(node.get_child_at_index(index), depth + 1)
        if found is not None:
            return found
    return None


def main():
    pid = int(sys.argv[1])
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(index)
        if application is None or application.get_process_id() != pid:
            continue
        field = focused_text(application)
        if field is not None:
            sys.stdout.write(Atspi.Text.get_text(field, 0, Atspi.Text.get_character_count(field)))
            return 0
    return 1


sys.exit(main())
