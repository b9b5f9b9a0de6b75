# Asks KWin about its windows with a script of its own, as the KDE tests' truth, read without
# fieldpilot: "windows" prints every window as JSON (pid, frame, active), "activate PID" makes the
# process's topmost window active. Exits with status 1 when KWin does not answer.
import json
import os
import sys
import tempfile
import time

from gi.repository import Gio, GLib

ANSWER_PATH = "/test/KWinWindows"
ANSWER_XML = ("<node><interface name='test.KWinWindows'><method name='answer'>"
              "<arg type='s' direction='in'/></method></interface></node>")
WORKSPACE = """
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
var active = workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
"""
LIST = WORKSPACE + """
var list = [];
for (var i = 0; i < windows.length; ++i) {
    var g = windows[i].frameGeometry;
    list.push({pid: windows[i].pid, active: windows[i] === active,
               x: g.x, y: g.y, width: g.width, height: g.height});
}
reply(JSON.stringify(list));
"""
ACTIVATE = WORKSPACE + """
for (var i = 0; i < windows.length; ++i) {
    if (windows[i].pid === %d && windows[i].normalWindow) {
        if (workspace.activeWindow !== undefined) workspace.activeWindow = windows[i];
        else workspace.activeClient = windows[i];
    }
}
reply("done");
"""


def call(bus, path, interface, method, parameters=None):
    return bus.call_sync("org.kde.KWin", path, interface, method, parameters, None,
                         Gio.DBusCallFlags.NONE, 5000, None)


def run_script(body):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    answers = []

    def on_call(connection, sender, path, interface, method, parameters, invocation):
        answers.append(parameters.unpack()[0])
        invocation.return_value(None)

    interface = Gio.DBusNodeInfo.new_for_xml(ANSWER_XML).interfaces[0]
    bus.register_object(ANSWER_PATH, interface, on_call, None, None)
    preamble = ('function reply(text) { callDBus("%s", "%s", "test.KWinWindows", "answer", text); }'
                % (bus.get_unique_name(), ANSWER_PATH))
    descriptor, path = tempfile.mkstemp(suffix=".js")
    os.write(descriptor, (preamble + body).encode())
    os.close(descriptor)
    name = "kwin-windows-test-%d" % os.getpid()
    try:
        script = call(bus, "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                      GLib.Variant("(ss)", (path, name))).unpack()[0]
        for object_path in ("/%d" % script, "/Scripting/Script%d" % script):
            try:
                call(bus, object_path, "org.kde.kwin.Script", "run")
                break
            except GLib.Error:
                continue
        deadline = time.monotonic() + 5
        context = GLib.MainContext.default()
        while not answers and time.monotonic() < deadline:
            context.iteration(False)
            time.sleep(0.005)
        call(bus, "/Scripting", "org.kde.kwin.Scripting", "unloadScript", GLib.Variant("(s)", (name,)))
    finally:
        os.unlink(path)
    return answers[0] if answers else None


def main():
    if sys.argv[1] == "activate":
        answer = run_script(ACTIVATE % int(sys.argv[2]))
    else:
        answer = run_script(LIST)
    if answer is None:
        return 1
    sys.stdout.write(answer if sys.argv[1] == "windows" else "")
    return 0


sys.exit(main())
