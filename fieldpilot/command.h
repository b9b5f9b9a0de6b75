// What every command of fieldpilot is given and how it ends.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "json.h"
#include "platform/platform.h"

namespace fieldpilot {

// The process arguments: element 0 is the program path, element 1 the command word, elements 2
// and 3 the operands.
using Args = std::vector<std::string>;

// The three endings of a run, plus the trust gate's. The caller writes what the ending holds
// and exits with `status`.
struct Ending {
    enum class Kind { Reply, Report, Silent };

    Kind kind = Kind::Silent;
    int status = 1;
    json::Object reply;  // Kind::Reply
    std::string report;  // Kind::Report: the text, without its final line feed

    static Ending success(json::Object reply) { return {Kind::Reply, 0, std::move(reply), {}}; }
    static Ending failure(json::Object reply) { return {Kind::Reply, 1, std::move(reply), {}}; }
    static Ending error(std::string code) {
        return failure(json::Object{{"error", std::move(code)}});
    }
    static Ending textReport(std::string text) { return {Kind::Report, 0, {}, std::move(text)}; }
    static Ending silentFailure() { return {Kind::Silent, 1, {}, {}}; }
};

struct Context {
    platform::Desktop& desktop;
    const Args& args;
    // Reads standard input to its end; only "set" calls it. nullopt when it cannot be read.
    std::function<std::optional<std::string>()> readStandardInput;
};

using Command = Ending (*)(Context&);

// Reports
Ending focusedCommand(Context& context);
Ending dumpCommand(Context& context);

// Text-field commands
Ending setCommand(Context& context);
Ending pasteCommand(Context& context);
Ending copyCommand(Context& context);
Ending focusfieldCommand(Context& context);
Ending clearfieldCommand(Context& context);

// Window and activation
Ending windowCommand(Context& context);
Ending activateCommand(Context& context);

}  // namespace fieldpilot
