#include "dispatch.h"

#include <string_view>

namespace fieldpilot {

namespace {

constexpr std::string_view kDefaultCommand = "focused";
// Outside the three endings of a command: the gate answers before any command runs.
constexpr int kNotTrustedStatus = 2;

struct CommandRow {
    std::string_view word;
    Command run;
};

// Words are matched exactly and case-sensitively, in this order.
constexpr CommandRow kCommandTable[] = {
    {"focused", focusedCommand},       {"set", setCommand},   {"activate", activateCommand},
    {"paste", pasteCommand},           {"copy", copyCommand}, {"focusfield", focusfieldCommand},
    {"clearfield", clearfieldCommand}, {"dump", dumpCommand}, {"window", windowCommand},
};

Ending notTrusted() {
    return Ending{Ending::Kind::Reply,
                  kNotTrustedStatus,
                  json::Object{{"error", "accessibility_not_trusted"}},
                  {}};
}

}  // namespace

std::string command(const Args& args) {
    return args.size() < 2 ? std::string(kDefaultCommand) : args[1];
}

Ending dispatch(Context& context) {
    const std::string word = command(context.args);
    if (!context.desktop.isProcessTrusted())
        return notTrusted();
    for (const auto& row : kCommandTable) {
        if (row.word == word)
            return row.run(context);
    }
    return Ending::error("unknown command " + word);
}

}  // namespace fieldpilot
