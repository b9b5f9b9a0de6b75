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

// A text that could not be read is left out of the reply, and the status of its read goes into
// the diagnostics under `errorKey`: an empty text would tell the host that the field is empty, and
// a host that writes back what it read plus dictated text would wipe the user's text.
void addText(json::Object& reply, json::Object& diagnostics, std::string_view key,
             std::string_view errorKey, const TextRead& read) {
    if (!read.text && isUnreadable(read.status)) {
        diagnostics.set(std::string(errorKey), read.status);
        return;
    }
    reply.set(std::string(key), read.text.value_or(""));
}

void addFocusedElement(json::Object& reply, json::Object& diagnostics, Desktop& desktop,
                       const Element& element) {
    const std::string role = string(desktop, element, "AXRole").value_or("");
    const std::string subrole = string(desktop, element, "AXSubrole").value_or("");
    TextRead value = stringRead(desktop, element, "AXValue");
    const std::string placeholder = string(desktop, element, "AXPlaceholderValue").value_or("");
    reply.set("role", role);
    reply.set("subrole", subrole);
    reply.set("placeholder", placeholder);
    // Some fields report their placeholder as their value while they are empty.
    if (!placeholder.empty() && value.text == placeholder)
        value.text = std::string();
    addText(reply, diagnostics, "value", "valueError", value);
    addText(reply, diagnostics, "selectedText", "selectedTextError",
            stringRead(desktop, element, "AXSelectedText"));
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
    if (focus.element) {
        addFocusedElement(reply, focus.diagnostics, desktop, *focus.element);
    } else {
        addNoElement(reply);
    }
    reply.set("diagnostics", std::move(focus.diagnostics));
    return Ending::success(std::move(reply));
}

}  // namespace fieldpilot
