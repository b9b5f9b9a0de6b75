// The application the live-desktop tests act on: one window with an entry that shows a
// placeholder, a multi-line text view and a password entry. Once its window is mapped and active
// it prints "ready <pid> <X window id>"; then it answers one line on standard output for each
// command line on standard input, so that tests can read and arrange what they cannot do through
// fieldpilot itself. It quits when standard input closes.
//
// Commands (fields are entry, view, password; texts escape backslash and line feed as \\ and \n):
//   text <field>             the field's text
//   set <field> <text>       replaces the field's text
//   select <field> <a> <b>   selects characters a to b of an entry
//   focus <field>            gives the field keyboard focus
//   focused                  the field that has keyboard focus, or none
//   clipboard                the clipboard's text
//   set-clipboard <text>     puts the text on the clipboard
//   present                  brings the window to the front; answers once it is active
//
// Options: --title <title>; --elements <n> adds n labels ahead of the fields, which then sit
// deeper in the tree than every label, so a breadth-first search meets them last.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "line_escaping.h"

namespace {

using live_desktop::escaped;
using live_desktop::unescaped;

constexpr guint kPresentTimeoutMs = 5000;

struct App {
    GtkWidget* window = nullptr;
    GtkWidget* entry = nullptr;
    GtkWidget* view = nullptr;
    GtkWidget* password = nullptr;
    bool announced = false;
    bool presentPending = false;
};

App app;

// Answers once GTK has done the work a command queued (layout, drawing, accessibility events),
// so that what the test does next meets a settled application.
void answer(const std::string& line) {
    g_idle_add_full(
        G_PRIORITY_LOW,
        [](gpointer data) -> gboolean {
            std::printf("%s\n", static_cast<std::string*>(data)->c_str());
            std::fflush(stdout);
            return G_SOURCE_REMOVE;
        },
        new std::string(line), [](gpointer data) { delete static_cast<std::string*>(data); });
}

GtkWidget* field(const std::string& name) {
    if (name == "entry")
        return app.entry;
    if (name == "view")
        return app.view;
    if (name == "password")
        return app.password;
    return nullptr;
}

std::string fieldText(GtkWidget* widget) {
    if (GTK_IS_TEXT_VIEW(widget)) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget));
        GtkTextIter start, end;
        gtk_text_buffer_get_bounds(buffer, &start, &end);
        gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
        std::string result = text;
        g_free(text);
        return result;
    }
    return gtk_entry_get_text(GTK_ENTRY(widget));
}

void setFieldText(GtkWidget* widget, const std::string& text) {
    if (GTK_IS_TEXT_VIEW(widget))
        gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget)), text.c_str(), -1);
    else
        gtk_entry_set_text(GTK_ENTRY(widget), text.c_str());
}

std::string focusedFieldName() {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(app.window));
    for (const char* name : {"entry", "view", "password"}) {
        if (focus == field(name))
            return name;
    }
    return "none";
}

std::string clipboardText() {
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    gchar* text = gtk_clipboard_wait_for_text(clipboard);
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

// Focus-stealing prevention refuses a request without a real timestamp on X11; Wayland
// compositors take none from a client.
void present() {
    GdkWindow* window = gtk_widget_get_window(app.window);
    if (GDK_IS_X11_WINDOW(window))
        gtk_window_present_with_time(GTK_WINDOW(app.window), gdk_x11_get_server_time(window));
    else
        gtk_window_present(GTK_WINDOW(app.window));
    app.presentPending = true;
    g_timeout_add(
        kPresentTimeoutMs,
        [](gpointer) -> gboolean {
            if (app.presentPending) {
                app.presentPending = false;
                answer("timeout");
            }
            return G_SOURCE_REMOVE;
        },
        nullptr);
}

void runCommand(const std::string& line) {
    const std::size_t space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    const std::size_t argumentSpace = rest.find(' ');
    GtkWidget* target = field(rest.substr(0, argumentSpace));
    const std::string argument =
        argumentSpace == std::string::npos ? "" : rest.substr(argumentSpace + 1);

    if (command == "text" && target) {
        answer(escaped(fieldText(target)));
    } else if (command == "set" && target) {
        setFieldText(target, unescaped(argument));
        answer("ok");
    } else if (command == "select" && GTK_IS_ENTRY(target)) {
        int start = 0, end = 0;
        std::sscanf(argument.c_str(), "%d %d", &start, &end);
        gtk_editable_select_region(GTK_EDITABLE(target), start, end);
        answer("ok");
    } else if (command == "focus" && target) {
        gtk_widget_grab_focus(target);
        answer("ok");
    } else if (command == "focused") {
        answer(focusedFieldName());
    } else if (command == "clipboard") {
        answer(escaped(clipboardText()));
    } else if (command == "set-clipboard") {
        const std::string text = unescaped(rest);
        gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), text.c_str(), -1);
        answer("ok");
    } else if (command == "present") {
        if (gtk_window_is_active(GTK_WINDOW(app.window)))
            answer("ok");
        else
            present();
    } else {
        answer("error unknown command: " + line);
    }
}

gboolean readCommand(GIOChannel* channel, GIOCondition, gpointer) {
    gchar* line = nullptr;
    gsize terminator = 0;
    const GIOStatus status = g_io_channel_read_line(channel, &line, nullptr, &terminator, nullptr);
    if (status == G_IO_STATUS_EOF || status == G_IO_STATUS_ERROR) {
        gtk_main_quit();
        return G_SOURCE_REMOVE;
    }
    if (line) {
        line[terminator] = '\0';
        runCommand(line);
        g_free(line);
    }
    return G_SOURCE_CONTINUE;
}

// Announces the window once it is both mapped and active, and completes a pending "present".
void onActiveChanged(GObject*, GParamSpec*, gpointer) {
    if (!gtk_window_is_active(GTK_WINDOW(app.window)))
        return;
    if (!app.announced) {
        app.announced = true;
        // A native Wayland window has no id a client could know: 0.
        GdkWindow* window = gtk_widget_get_window(app.window);
        const auto xid = GDK_IS_X11_WINDOW(window) ? gdk_x11_window_get_xid(window) : 0;
        answer("ready " + std::to_string(getpid()) + " " + std::to_string(xid));
    }
    if (app.presentPending) {
        app.presentPending = false;
        answer("ok");
    }
}

GtkWidget* labelledFields() {
    app.entry = gtk_entry_new();
    gtk_entry_set_placeholder_text(GTK_ENTRY(app.entry), "Search notes");
    app.view = gtk_text_view_new();
    gtk_widget_set_size_request(app.view, -1, 80);
    app.password = gtk_entry_new();
    gtk_entry_set_visibility(GTK_ENTRY(app.password), FALSE);
    gtk_entry_set_input_purpose(GTK_ENTRY(app.password), GTK_INPUT_PURPOSE_PASSWORD);

    GtkWidget* fields = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_box_pack_start(GTK_BOX(fields), app.entry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(fields), app.view, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(fields), app.password, FALSE, FALSE, 0);
    return fields;
}

GtkWidget* fillerLabels(int count) {
    GtkWidget* labels = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    for (int index = 0; index < count; ++index) {
        const std::string text = "Label " + std::to_string(index);
        gtk_box_pack_start(GTK_BOX(labels), gtk_label_new(text.c_str()), FALSE, FALSE, 0);
    }
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_widget_set_size_request(scrolled, -1, 200);
    gtk_container_add(GTK_CONTAINER(scrolled), labels);
    return scrolled;
}

void buildWindow(const char* title, int fillerCount) {
    app.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(app.window), title);
    gtk_window_set_default_size(GTK_WINDOW(app.window), 600, 400);
    g_signal_connect(app.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_signal_connect(app.window, "notify::is-active", G_CALLBACK(onActiveChanged), nullptr);

    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    if (fillerCount > 0)
        gtk_box_pack_start(GTK_BOX(column), fillerLabels(fillerCount), TRUE, TRUE, 0);
    // The frame puts the fields one level below the labels.
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_container_add(GTK_CONTAINER(frame), labelledFields());
    gtk_box_pack_start(GTK_BOX(column), frame, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(app.window), column);
    gtk_widget_show_all(app.window);
    gtk_widget_grab_focus(app.entry);
}

}  // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    const char* title = "Live test";
    int fillerCount = 0;
    for (int index = 1; index + 1 < argc; index += 2) {
        if (std::strcmp(argv[index], "--title") == 0)
            title = argv[index + 1];
        else if (std::strcmp(argv[index], "--elements") == 0)
            fillerCount = std::atoi(argv[index + 1]);
    }
    buildWindow(title, fillerCount);

    GIOChannel* input = g_io_channel_unix_new(STDIN_FILENO);
    g_io_add_watch(input, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR), readCommand, nullptr);
    gtk_main();
    g_io_channel_unref(input);
    return 0;
}
