#include <algorithm>
#include <string_view>

#include "element_access.h"
#include "focus_discovery.h"
#include "reports.h"

namespace fieldpilot {

namespace {

constexpr std::string_view kBlindOption = "--blind";
// Electron applications carry their code in this archive inside the bundle.
constexpr std::string_view kElectronArchive = "Contents/Resources/app.asar";

json::Object boundsObject(const WindowBounds& bounds) {
    return json::Object{{"x", bounds.x}, {"y", bounds.y}, {"w", bounds.w}, {"h", bounds.h}};
}

// URLByAppendingPathComponent: one separator between the bundle path and the component.
std::string appendPathComponent(std::string path, std::string_view component) {
    if (path.empty() || path.back() != '/')
        path += '/';
    path += component;
    return path;
}

bool isBlind(const std::vector<std::string>& blind, const std::string& bundleId) {
    return std::find(blind.begin(), blind.end(), bundleId) != blind.end();
}

void addFocusedElement(json::Object& reply, Desktop& desktop, const Element& element) {
    const std::string role = string(desktop, element, "AXRole").value_or("");
    const std::string subrole = string(desktop, element, "AXSubrole").value_or("");
    const std::string value = string(desktop, element, "AXValue").value_or("");
    const std::string placeholder = string(desktop, element, "AXPlaceholderValue").value_or("");
    reply.set("role", role);
    reply.set("subrole", subrole);
    reply.set("placeholder", placeholder);
    // Some fields report their placeholder as their value while they are empty.
    const bool showsPlaceholder = !placeholder.empty() && value == placeholder;
    reply.set("value", showsPlaceholder ? std::string() : value);
    reply.set("selectedText", string(desktop, element, "AXSelectedText").value_or(""));
    bool settable = false;
    desktop.isAttributeSettable(element, "AXValue", settable);
    reply.set("valueSettable", settable);
}

void addNoElement(json::Object& reply) {
    reply.set("role", "");
    reply.set("value", "");
    reply.set("selectedText", "");
    reply.set("valueSettable", false);
}

}  // namespace

std::vector<std::string> blindList(const Args& args) {
    const auto option = std::find(args.begin(), args.end(), kBlindOption);
    if (option == args.end() || std::next(option) == args.end())
        return {};
    std::vector<std::string> bundleIds;
    std::string_view list = *std::next(option);
    while (true) {
        const auto comma = list.find(',');
        const std::string_view piece = list.substr(0, comma);
        if (!piece.empty())
            bundleIds.emplace_back(piece);
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
    return bundleIds;
}

Ending focusedCommand(Context& context) {
    Desktop& desktop = context.desktop;
    const auto frontmost = desktop.frontmostApplication();
    if (!frontmost)
        return Ending::error("no_frontmost_app");
    const Element app = desktop.createApplicationElement(frontmost->pid);

    const std::string bundleId = frontmost->bundleIdentifier.value_or("");
    json::Object reply{{"app", frontmost->localizedName.value_or("")},
                       {"bundleId", bundleId},
                       {"pid", frontmost->pid}};
    if (const auto bounds = windowBounds(desktop, app))
        reply.set("bounds", boundsObject(*bounds));
    if (frontmost->bundlePath) {
        const std::string archive = appendPathComponent(*frontmost->bundlePath, kElectronArchive);
        reply.set("electron", desktop.fileExists(archive));
    }

    const bool patient = !isBlind(blindList(context.args), bundleId);
    FocusResult focus = findFocusedElement(desktop, app, patient);
    reply.set("diagnostics", std::move(focus.diagnostics));
    if (focus.element) {
        addFocusedElement(reply, desktop, *focus.element);
    } else {
        addNoElement(reply);
    }
    return Ending::success(std::move(reply));
}

}  // namespace fieldpilot
