#include <deque>
#include <string_view>

#include "element_access.h"
#include "operands.h"
#include "report_text.h"
#include "reports.h"
#include "unicode.h"

namespace fieldpilot {

namespace {

constexpr std::int64_t kDefaultBudget = 300;
// Lets the application build its accessibility tree after the two flags are set.
constexpr platform::Micros kSettlePause{500000};
// Elements shallower than this always get a line; deeper ones only when they matter.
constexpr int kShownDepth = 3;

struct Queued {
    Element element;
    int depth = 0;
};

struct Examined {
    std::string line;
    bool shown = false;
    std::vector<Element> children;
};

std::string focusLine(Desktop& desktop, const Element& app) {
    const AttributeRead read = copyAttribute(desktop, app, "AXFocusedUIElement");
    if (read.value)
        return "focusedUIElement: present";
    return "focusedUIElement: nil (" + std::to_string(read.status) + ")";
}

// Reads one element (role, subrole, focus, value, then children, in that order) and
// builds its tree line.
Examined examine(Desktop& desktop, const Queued& entry) {
    const std::string role = string(desktop, entry.element, "AXRole").value_or("?");
    const std::string subrole = string(desktop, entry.element, "AXSubrole").value_or("");
    const bool focused = boolean(desktop, entry.element, "AXFocused");
    const std::string value = string(desktop, entry.element, "AXValue").value_or("");
    const AttributeRead childrenRead = copyAttribute(desktop, entry.element, "AXChildren");

    Examined examined;
    if (childrenRead.value) {
        examined.children = elementArray(*childrenRead.value).value_or(std::vector<Element>{});
    }
    std::string& line = examined.line;
    line.append(static_cast<std::size_t>(entry.depth) * 2, ' ');
    line += escapedForReport(role);
    if (!subrole.empty())
        line += "/" + escapedForReport(subrole);
    line += focused ? " focused=true" : " focused=false";
    line += " valueLen=" + std::to_string(unicode::graphemeClusterCount(value));
    line += " children=" + std::to_string(examined.children.size());
    if (!childrenRead.value)
        line += " (err " + std::to_string(childrenRead.status) + ")";

    examined.shown =
        entry.depth < kShownDepth || focused || role.starts_with("AXText") || role == "AXWebArea";
    return examined;
}

// Breadth-first from the window, examining at most `budget` elements; returns the count.
std::int64_t walk(Desktop& desktop, const Element& window, std::int64_t budget,
                  std::vector<std::string>& lines) {
    std::int64_t visited = 0;
    if (budget <= 0)
        return visited;
    std::deque<Queued> queue{{window, 0}};
    while (!queue.empty() && visited < budget) {
        const Queued entry = std::move(queue.front());
        queue.pop_front();
        Examined examined = examine(desktop, entry);
        if (examined.shown)
            lines.push_back(std::move(examined.line));
        ++visited;
        // What is queued beyond the remaining budget would never be examined.
        for (std::size_t i = 0;
             i < examined.children.size() && std::ssize(queue) < budget - visited; ++i)
            queue.push_back({std::move(examined.children[i]), entry.depth + 1});
    }
    return visited;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    return text;
}

}  // namespace

Ending dumpCommand(Context& context) {
    Desktop& desktop = context.desktop;
    const auto frontmost = desktop.frontmostApplication();
    if (!frontmost)
        return Ending::silentFailure();
    const Element app = desktop.createApplicationElement(frontmost->pid);
    setFlag(desktop, app, "AXManualAccessibility", true);
    setFlag(desktop, app, "AXEnhancedUserInterface", true);
    desktop.sleepFor(kSettlePause);

    const auto budgetOperand = operand(context.args, 2);
    const std::int64_t budget =
        (budgetOperand ? parseBudget(*budgetOperand) : std::nullopt).value_or(kDefaultBudget);

    std::vector<std::string> lines{
        "app=" + escapedForReport(frontmost->localizedName.value_or("")) +
            " pid=" + std::to_string(frontmost->pid),
        focusLine(desktop, app)};
    if (const auto window = focusedWindow(desktop, app)) {
        const std::int64_t visited = walk(desktop, *window, budget, lines);
        lines.push_back("visited=" + std::to_string(visited));
    } else {
        lines.push_back("no focused window");
    }

    setFlag(desktop, app, "AXEnhancedUserInterface", false);
    return Ending::textReport(joinLines(lines));
}

}  // namespace fieldpilot
