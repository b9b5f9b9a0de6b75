// A Qt 6 form for the live-desktop tests, laid out as Qt applications usually are: a window with a
// tab widget whose current page holds a one-line entry and a multi-line view. It speaks the
// protocol of the GTK test application (app/live_test_app.cpp) for the commands text, set, focus,
// focused and present, prints "ready <pid> <X window id>" once its window is active, and quits when
// standard input closes.
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <string>

#include "app/line_escaping.h"

namespace {

using live_desktop::escaped;
using live_desktop::unescaped;

struct Form {
    QWidget window;
    QTabWidget* tabs = nullptr;
    QLineEdit* entry = nullptr;
    QPlainTextEdit* view = nullptr;
    bool announced = false;
};

void reply(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

QWidget* field(Form& form, const std::string& name) {
    if (name == "entry")
        return form.entry;
    if (name == "view")
        return form.view;
    return nullptr;
}

std::string textOf(QWidget* widget) {
    if (auto* entry = qobject_cast<QLineEdit*>(widget))
        return entry->text().toStdString();
    return static_cast<QPlainTextEdit*>(widget)->toPlainText().toStdString();
}

void setTextOf(QWidget* widget, const std::string& text) {
    if (auto* entry = qobject_cast<QLineEdit*>(widget))
        entry->setText(QString::fromStdString(text));
    else
        static_cast<QPlainTextEdit*>(widget)->setPlainText(QString::fromStdString(text));
}

// Answers once the events the command queued (focus changes and their accessibility events)
// have been handled.
void answerLater(const std::string& line) {
    QTimer::singleShot(50, [line] { reply(line); });
}

// Answers "ok" once the window is active, or "error: not active" after 5 s.
void answerOnceActive(Form& form, int triesLeft = 100) {
    QTimer::singleShot(50, [&form, triesLeft] {
        if (form.window.isActiveWindow())
            reply("ok");
        else if (triesLeft == 0)
            reply("error: not active");
        else
            answerOnceActive(form, triesLeft - 1);
    });
}

void handle(Form& form, const std::string& line) {
    const auto space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    const auto nameEnd = rest.find(' ');
    QWidget* target = field(form, rest.substr(0, nameEnd));
    if (command == "focused") {
        QWidget* focused = QApplication::focusWidget();
        reply(focused == form.entry ? "entry" : focused == form.view ? "view" : "none");
    } else if (command == "present") {
        form.window.activateWindow();
        form.window.raise();
        answerOnceActive(form);
    } else if (!target) {
        reply("error: unknown field");
    } else if (command == "text") {
        reply(escaped(textOf(target)));
    } else if (command == "set") {
        setTextOf(target, nameEnd == std::string::npos ? "" : unescaped(rest.substr(nameEnd + 1)));
        answerLater("ok");
    } else if (command == "focus") {
        target->setFocus(Qt::OtherFocusReason);
        answerLater("ok");
    } else {
        reply("error: unknown command");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Form form;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    form.entry = new QLineEdit;
    form.view = new QPlainTextEdit;
    layout->addWidget(form.entry);
    layout->addWidget(form.view);
    form.tabs = new QTabWidget;
    form.tabs->addTab(page, "Message");
    form.tabs->addTab(new QWidget, "Settings");
    (new QVBoxLayout(&form.window))->addWidget(form.tabs);
    form.window.setWindowTitle("Qt live test");
    form.window.resize(480, 360);
    form.window.show();
    form.entry->setFocus();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            QApplication::quit();
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            handle(form, pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    });
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, [&] {
        if (form.announced || !form.window.isActiveWindow())
            return;
        form.announced = true;
        ready.stop();
        answerLater("ready " + std::to_string(getpid()) + " " +
                    std::to_string(form.window.winId()));
    });
    ready.start(20);
    return QApplication::exec();
}
