// "set", "paste", "copy", "focusfield" and "clearfield": changing or taking the text of a field in
// another application. Each command applies its guards in a fixed order; the first that fails
// decides the reply.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "activation.h"
#include "command.h"
#include "element_access.h"
#include "focus_discovery.h"
#include "keystrokes.h"
#include "operands.h"
#include "utf.h"

namespace fieldpilot {

namespace {

using platform::Micros;
using platform::Pid;

constexpr std::string_view kSetUsage = "usage: fieldpilot set <pid> < text";
constexpr std::string_view kPasteUsage = "usage: fieldpilot paste <pid> all|selection";

constexpr std::size_t kPidOperand = 2;
constexpr std::size_t kModeOperand = 3;
constexpr std::size_t kCopyAllOperand = 2;
constexpr std::size_t kCopyAllPidOperand = 3;
constexpr std::string_view kAllMode = "all";

// Gives the application time to apply the new value before it is read back.
constexpr Micros kSetReadBackDelay{80'000};
// Lets the application finish selecting before the next shortcut acts on the selection.
constexpr Micros kAfterSelectAll{90'000};
// Lets the application put the copy on the clipboard before the selection is collapsed.
constexpr Micros kAfterCopyAll{120'000};

constexpr Seconds kPasteActivationTimeout{1.5};
constexpr Seconds kPasteModifierTimeout{1.2};
constexpr Seconds kCopyModifierTimeout{0.8};
constexpr Seconds kClearActivationTimeout{1.5};

constexpr std::int64_t kTextFieldSearchLimit = 6000;

std::optional<Pid> pidOperand(const Args& args, std::size_t index) {
    const auto text = operand(args, index);
    if (!text)
        return std::nullopt;
    return parsePid(*text);
}

// The new text of "set" exactly as the host wrote it, or the error that leaves the field as it
// was: standard input could not be read, or its bytes are not UTF-8 (taking them as the empty
// text would wipe the field).
std::variant<std::string, Ending> textFromStandardInput(Context& context) {
    std::optional<std::string> bytes = context.readStandardInput();
    if (!bytes)
        return Ending::error("stdin_unreadable");
    if (!utf::isValidUtf8(*bytes))
        return Ending::error("stdin_not_utf8");
    return std::move(*bytes);
}

// Whether the element that the focus discovery found belongs to the running target. The
// system-wide route answers for whatever application is in front, and a write must never land
// in another application's field.
bool belongsTo(Desktop& desktop, const Element& element, Pid pid) {
    Pid owner = 0;
    return desktop.getPid(element, owner) == 0 && owner == pid && isRunning(desktop, pid);
}

Ending notFrontmost(Desktop& desktop) {
    return Ending::failure(
        {{"error", "target_not_frontmost"}, {"frontPid", frontmostPid(desktop)}});
}

void selectAll(Desktop& desktop) {
    pressCommand(desktop, keyCode(desktop, "a", kUsKeyA));
    desktop.sleepFor(kAfterSelectAll);
}

void copySelection(Desktop& desktop) {
    pressCommand(desktop, keyCode(desktop, "c", kUsKeyC));
}

void pasteClipboard(Desktop& desktop) {
    pressCommand(desktop, keyCode(desktop, "v", kUsKeyV));
}

std::string role(Desktop& desktop, const Element& element) {
    return string(desktop, element, "AXRole").value_or("");
}

// Queues the element's children while the queue holds fewer than `room` elements: what is queued
// beyond the elements still to be examined would never be examined.
void appendChildren(Desktop& desktop, const Element& element, std::deque<Element>& queue,
                    std::int64_t room) {
    const auto children = attribute(desktop, element, "AXChildren");
    const auto elements = children ? elementArray(*children) : std::nullopt;
    if (!elements)
        return;
    for (std::size_t i = 0; i < elements->size() && std::ssize(queue) < room; ++i)
        queue.push_back((*elements)[i]);
}

// Breadth-first over at most 6000 elements, without stopping early: the last text area met, or
// else the first text field. Multi-line areas win because they are where people write messages.
std::optional<Element> findTextField(Desktop& desktop, const Element& window) {
    std::deque<Element> queue{window};
    std::optional<Element> candidate;
    for (std::int64_t examined = 0; examined < kTextFieldSearchLimit && !queue.empty();
         ++examined) {
        const Element element = queue.front();
        queue.pop_front();
        const std::string elementRole = role(desktop, element);
        if (elementRole == "AXTextArea") {
            candidate = element;
        } else if (elementRole == "AXTextField" && !candidate) {
            candidate = element;
        }
        appendChildren(desktop, element, queue, kTextFieldSearchLimit - examined - 1);
    }
    return candidate;
}

}  // namespace

Ending setCommand(Context& context) {
    Desktop& desktop = context.desktop;
    const auto pid = pidOperand(context.args, kPidOperand);
    if (!pid)
        return Ending::error(std::string(kSetUsage));

    auto input = textFromStandardInput(context);
    if (auto* refused = std::get_if<Ending>(&input))
        return std::move(*refused);
    const std::string& text = std::get<std::string>(input);
    const Element application = desktop.createApplicationElement(*pid);
    const FocusResult focus = findFocusedElement(desktop, application, true);
    if (!focus.element || !belongsTo(desktop, *focus.element, *pid)) {
        return Ending::failure(
            {{"error", "no_focused_element"}, {"diagnostics", focus.diagnostics}});
    }

    const AXStatus status = desktop.setAttributeValue(*focus.element, "AXValue", Value(text));
    desktop.sleepFor(kSetReadBackDelay);
    const std::string value = string(desktop, *focus.element, "AXValue").value_or("");
    return Ending::success({{"set", status == 0}, {"axError", status}, {"value", value}});
}

Ending pasteCommand(Context& context) {
    Desktop& desktop = context.desktop;
    const auto pid = pidOperand(context.args, kPidOperand);
    const auto mode = operand(context.args, kModeOperand);
    if (!pid || !mode)
        return Ending::error(std::string(kPasteUsage));
    if (!isRunning(desktop, *pid))
        return Ending::error("app_not_running");
    if (desktop.isSecureEventInputEnabled())
        return Ending::error("secure_input");
    if (!bringToFront(desktop, *pid, kPasteActivationTimeout))
        return notFrontmost(desktop);

    const bool released = waitForModifiersReleased(desktop, kPasteModifierTimeout);
    // The user may have switched applications while we waited for the keys.
    if (!isFrontmost(desktop, *pid))
        return notFrontmost(desktop);

    if (*mode == kAllMode)
        selectAll(desktop);
    pasteClipboard(desktop);
    return Ending::success({{"pasted", true}, {"modifiersReleased", released}});
}

Ending copyCommand(Context& context) {
    Desktop& desktop = context.desktop;
    const Args& args = context.args;
    if (desktop.isSecureEventInputEnabled())
        return Ending::error("secure_input");
    const bool released = waitForModifiersReleased(desktop, kCopyModifierTimeout);

    const auto copyAllPid = operand(args, kCopyAllOperand) == kAllMode
                                ? pidOperand(args, kCopyAllPidOperand)
                                : std::nullopt;
    if (!copyAllPid) {
        copySelection(desktop);
        return Ending::success({{"copied", true}, {"modifiersReleased", released}});
    }

    // Copy-all never activates: selecting everything in whatever else is in front would be wrong.
    if (!isFrontmost(desktop, *copyAllPid))
        return notFrontmost(desktop);
    selectAll(desktop);
    copySelection(desktop);
    desktop.sleepFor(kAfterCopyAll);
    pressKey(desktop, kRightArrowKey);
    return Ending::success({{"copied", true}, {"all", true}, {"modifiersReleased", released}});
}

Ending focusfieldCommand(Context& context) {
    Desktop& desktop = context.desktop;
    const auto pid = pidOperand(context.args, kPidOperand);
    if (!pid)
        return Ending::silentFailure();

    const Element application = desktop.createApplicationElement(*pid);
    setFlag(desktop, application, "AXManualAccessibility", true);
    const auto window = focusedWindow(desktop, application);
    if (!window)
        return Ending::error("no_text_field");
    const auto field = findTextField(desktop, *window);
    if (!field)
        return Ending::error("no_text_field");

    const AXStatus status = setFlag(desktop, *field, "AXFocused", true);
    return Ending::success({{"focused", status == 0}, {"role", role(desktop, *field)}});
}

Ending clearfieldCommand(Context& context) {
    Desktop& desktop = context.desktop;
    const auto pid = pidOperand(context.args, kPidOperand);
    const Ending refused = Ending::error("target_not_frontmost");
    if (!pid)
        return refused;
    if (!bringToFront(desktop, *pid, kClearActivationTimeout))
        return refused;
    if (!isFrontmost(desktop, *pid))
        return refused;

    selectAll(desktop);
    // A Delete that was never posted cleared nothing, whatever the selection holds.
    const bool deleted = pressKey(desktop, kDeleteKey);
    return Ending::success({{"cleared", deleted}});
}

}  // namespace fieldpilot
