#include "platform/sim/sim_loader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_element.h"
#include "platform/sim/sim_layouts.h"
#include "platform/sim/sim_parse.h"
#include "platform/sim/sim_reading.h"
#include "platform/sim/sim_values.h"
#include "utf.h"

namespace fieldpilot::sim {
namespace {

using platform::Micros;
using platform::Pid;

// Seconds beyond any run; larger values are clamped so that they convert to microseconds safely.
constexpr double kLongestSeconds = 1e12;

const OrderedJson* member(const OrderedJson& object, std::string_view key) {
    const auto found = object.find(std::string(key));
    return found == object.end() ? nullptr : &*found;
}

bool readBool(const OrderedJson* value, bool fallback, const Place& where) {
    if (!value) {
        return fallback;
    }
    requireAt(value->is_boolean(), where, "true or false");
    return value->get<bool>();
}

// A missing or null name, identifier or path means there is none.
std::optional<std::string> readOptionalText(const OrderedJson& object, std::string_view key,
                                            const Place& where) {
    const OrderedJson* value = member(object, key);
    if (!value || value->is_null()) {
        return std::nullopt;
    }
    return readText(*value, where.member(key));
}

Micros readSeconds(const OrderedJson& json, const Place& where) {
    requireAt(json.is_number(), where, "a number of seconds");
    const double seconds = std::clamp(json.get<double>(), -kLongestSeconds, kLongestSeconds);
    return Micros(std::llround(seconds * 1e6));
}

std::size_t addRecord(DesktopState& state, std::string id, std::optional<Pid> pid,
                      OrderedJson source) {
    const std::size_t index = state.elements.size();
    if (!state.elementById.emplace(id, index).second) {
        failAt(Place("element \"" + id + "\""), "is listed twice");
    }
    if (pid) {
        state.elementsByPid[*pid].push_back(index);
    }
    state.elements.push_back(
        ElementRecord{std::move(id), pid, {}, {}, {}, {}, {}, std::move(source)});
    return index;
}

TextMap<platform::AXStatus> readStatuses(const OrderedJson& json, const Place& where) {
    requireAt(json.is_object(), where, "an object of attribute name to status");
    TextMap<platform::AXStatus> statuses;
    for (const auto& entry : json.items()) {
        statuses.emplace(entry.key(),
                         readInteger<platform::AXStatus>(entry.value(), where.member(entry.key())));
    }
    return statuses;
}

TextRange readSelection(const OrderedJson& json, const Place& where) {
    if (!json.is_array() || json.size() != 2) {
        failAt(where, "must be [location, length]");
    }
    return {readInteger<std::uint32_t>(json[0], where.item(0)),
            readInteger<std::uint32_t>(json[1], where.item(1))};
}

// The keys of an element object: "AX..." attributes and the element keys beside them.
void readElementKeys(ElementRecord& record, const DesktopState& state, const Place& where) {
    for (const auto& entry : record.source.items()) {
        const std::string& key = entry.key();
        const Place path = where.member(key);
        if (key.starts_with("AX")) {
            record.attributes.emplace(key, Attribute{decodeAttribute(entry.value(), state, path)});
        } else if (key == "settable") {
            requireAt(entry.value().is_array(), path, "an array of names");
            for (const auto& name : entry.value()) {
                record.settable.insert(readText(name, path));
            }
        } else if (key == "settableErrors") {
            record.settableErrors = readStatuses(entry.value(), path);
        } else if (key == "setErrors") {
            record.setErrors = readStatuses(entry.value(), path);
        } else if (key == "selection") {
            record.selection = readSelection(entry.value(), path);
        }
    }
}

Activation readActivation(const OrderedJson& app, const Place& where) {
    const auto mode = readOptionalText(app, "activation", where);
    if (!mode || *mode == "accept") {
        return Activation::Accept;
    }
    if (*mode == "refuse") {
        return Activation::Refuse;
    }
    if (*mode == "axOnly") {
        return Activation::AxOnly;
    }
    failAt(where.member("activation"), "must be \"accept\", \"refuse\" or \"axOnly\"");
}

// Moves each app's object into the record of its element.
void loadApps(DesktopState& state, OrderedJson& apps) {
    const Place appsPlace("apps");
    requireAt(apps.is_array(), appsPlace, "an array of apps");
    for (std::size_t i = 0; i < apps.size(); ++i) {
        OrderedJson& app = apps[i];
        const Place where = appsPlace.item(i);
        requireAt(app.is_object(), where, "an object");
        const OrderedJson* pidJson = member(app, "pid");
        if (!pidJson) {
            failAt(where, "needs an integer \"pid\"");
        }
        AppRecord record;
        record.pid = readInteger<Pid>(*pidJson, where.member("pid"));
        record.name = readOptionalText(app, "name", where);
        record.bundleId = readOptionalText(app, "bundleId", where);
        record.bundlePath = readOptionalText(app, "bundlePath", where);
        record.terminated = readBool(member(app, "terminated"), false, where.member("terminated"));
        record.treeHidden = readBool(member(app, "treeHidden"), false, where.member("treeHidden"));
        record.activation = readActivation(app, where);
        if (const OrderedJson* delay = member(app, "activationDelay")) {
            record.activationDelay = readSeconds(*delay, where.member("activationDelay"));
            if (record.activationDelay < Micros(0)) {
                failAt(where.member("activationDelay"), "must not be negative");
            }
        }
        if (!state.appByPid.emplace(record.pid, state.apps.size()).second) {
            failAt(where.member("pid"), "pid " + std::to_string(record.pid) + " is listed twice");
        }
        record.element =
            addRecord(state, applicationElementId(record.pid), record.pid, std::move(app));
        state.apps.push_back(std::move(record));
    }
}

// Moves each element's object into its record.
void loadElements(DesktopState& state, OrderedJson& elements) {
    const Place elementsPlace("elements");
    requireAt(elements.is_object(), elementsPlace, "an object of id to element");
    auto& members = elements.get_ref<OrderedJson::object_t&>();
    state.elements.reserve(state.elements.size() + members.size());
    state.elementById.reserve(state.elements.size() + members.size());
    for (auto& [id, element] : members) {
        const Place where = elementsPlace.member(id);
        if (id == kSystemWideId || pidOfApplicationId(id)) {
            failAt(where, "the id is reserved for the system-wide and application elements");
        }
        requireAt(element.is_object(), where, "an object");
        const OrderedJson* pidJson = member(element, "pid");
        if (!pidJson) {
            failAt(where, "needs an integer \"pid\"");
        }
        const Pid pid = readInteger<Pid>(*pidJson, where.member("pid"));
        addRecord(state, id, pid, std::move(element));
    }
}

void loadSystemWide(DesktopState& state, const OrderedJson* systemWide) {
    const OrderedJson source = systemWide ? *systemWide : OrderedJson::object();
    const Place where("systemWide");
    requireAt(source.is_object(), where, "an object");
    std::optional<Pid> pid;
    if (const OrderedJson* pidJson = member(source, "pid")) {
        pid = readInteger<Pid>(*pidJson, where.member("pid"));
    }
    addRecord(state, std::string(kSystemWideId), pid, source);
}

KeyTable readCustomLayout(const OrderedJson& keys, const Place& layoutPlace) {
    KeyTable table;
    for (const auto& entry : keys.items()) {
        const std::string& code = entry.key();
        const Place where = layoutPlace.member(code);
        std::uint16_t keyCode = 0;
        const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), keyCode);
        if (error != std::errc() || end != code.data() + code.size()) {
            failAt(where, "a key code must be a decimal number from 0 to 65535");
        }
        std::u16string text = utf::utf8ToUtf16(readText(entry.value(), where));
        if (text.size() > std::numeric_limits<std::uint16_t>::max()) {
            failAt(where, "the text is too long");
        }
        table.emplace(keyCode, std::move(text));
    }
    return table;
}

KeyboardLayout readLayout(const OrderedJson* layout) {
    const Place where("keyboard.layout");
    if (!layout || *layout == "us") {
        return usLayout();
    }
    if (*layout == "fr") {
        return frenchLayout();
    }
    if (*layout == "dvorak-qwerty-command") {
        return dvorakQwertyCommandLayout();
    }
    if (*layout == "nodata") {
        return {KeyboardLayout::Kind::NoData, {}, {}};
    }
    if (layout->is_null()) {
        return {KeyboardLayout::Kind::None, {}, {}};
    }
    if (layout->is_object()) {
        return sameWithCommand(readCustomLayout(*layout, where));
    }
    failAt(where,
           "must be \"us\", \"fr\", \"dvorak-qwerty-command\", \"nodata\", null or an object of "
           "key codes");
}

void loadKeyboard(DesktopState& state, const OrderedJson& keyboard) {
    const Place where("keyboard");
    requireAt(keyboard.is_object(), where, "an object");
    state.layout = readLayout(member(keyboard, "layout"));
    if (const OrderedJson* type = member(keyboard, "type")) {
        state.keyboardType = readInteger<std::uint32_t>(*type, where.member("type"));
    }
}

void loadModifiers(DesktopState& state, const OrderedJson& modifiers) {
    const Place modifiersPlace("modifiers");
    requireAt(modifiers.is_array(), modifiersPlace, "an array");
    for (std::size_t i = 0; i < modifiers.size(); ++i) {
        const OrderedJson& span = modifiers[i];
        const Place where = modifiersPlace.item(i);
        if (!span.is_object() || !span.contains("until") || !span.contains("flags")) {
            failAt(where, "must be {\"until\": seconds, \"flags\": integer}");
        }
        state.modifiers.push_back(
            {readSeconds(span["until"], where.member("until")),
             readInteger<std::uint64_t>(span["flags"], where.member("flags"))});
    }
}

WindowEntry readWindow(const OrderedJson& json, const DesktopState& state, const Place& where) {
    if (json.is_null()) {
        return {WindowEntry::Kind::NoList, {}};
    }
    if (json == "unconvertible") {
        return {WindowEntry::Kind::Unconvertible, {}};
    }
    requireAt(json.is_object(), where, "an object, \"unconvertible\" or null");
    WindowEntry window;
    for (const auto& entry : json.items()) {
        window.description.emplace_back(
            entry.key(), decodeValue(entry.value(), state, where.member(entry.key())));
    }
    return window;
}

void loadWindows(DesktopState& state, const OrderedJson& windows) {
    const Place windowsPlace("windows");
    requireAt(windows.is_object(), windowsPlace, "an object of window number to window");
    for (const auto& entry : windows.items()) {
        const std::string& key = entry.key();
        const Place where = windowsPlace.member(key);
        std::uint32_t number = 0;
        const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
        if (error != std::errc() || end != key.data() + key.size()) {
            failAt(where, "a window number must be a decimal number from 0 to 4294967295");
        }
        state.windows.insert_or_assign(number, readWindow(entry.value(), state, where));
    }
}

void loadFiles(DesktopState& state, const OrderedJson& files) {
    const Place where("files");
    requireAt(files.is_array(), where, "an array of paths");
    for (std::size_t i = 0; i < files.size(); ++i) {
        state.files.insert(readText(files[i], where.item(i)));
    }
}

void loadFrontmost(DesktopState& state, const OrderedJson& frontmost) {
    if (frontmost.is_null()) {
        return;
    }
    const Place where("frontmost");
    const Pid pid = readInteger<Pid>(frontmost, where);
    if (!state.appByPid.contains(pid)) {
        failAt(where, "pid " + std::to_string(pid) + " is not the pid of one of \"apps\"");
    }
    state.frontmost = pid;
}

// Where an element's object stands in the file, for messages.
Place placeOfElement(const DesktopState& state, std::size_t index) {
    if (index == kSystemWideElement) {
        return Place("systemWide");
    }
    if (index < state.firstListedElement) {
        return Place("apps[" + std::to_string(index - 1) + "]");
    }
    return Place("elements." + state.elements[index].id);
}

OrderedJson parseDocument(std::string_view jsonText) {
    OrderedJson document = parseDesktopJson(jsonText);
    if (!document.is_object()) {
        throw LoadError("the desktop must be a JSON object");
    }
    return document;
}

}  // namespace

std::unique_ptr<DesktopState> loadDesktopState(std::string_view jsonText) {
    auto state = std::make_unique<DesktopState>();
    state->document = parseDocument(jsonText);
    OrderedJson& document = state->document;

    const auto flag = [&](std::string_view key, bool fallback) {
        return readBool(member(document, key), fallback, Place(std::string(key)));
    };
    state->trusted = flag("trusted", true);
    state->secureInput = flag("secureInput", false);
    state->eventSource = flag("eventSource", true);
    state->keyboardEvents = flag("keyboardEvents", true);
    if (const OrderedJson* clipboard = member(document, "clipboard")) {
        state->clipboard = readText(*clipboard, Place("clipboard"));
    }
    if (const OrderedJson* log = member(document, "log")) {
        requireAt(log->is_array(), Place("log"), "an array");
    }

    loadSystemWide(*state, member(document, "systemWide"));
    if (const auto apps = document.find("apps"); apps != document.end()) {
        loadApps(*state, *apps);
        *apps = OrderedJson::array();
    }
    state->firstListedElement = state->elements.size();
    if (const auto elements = document.find("elements"); elements != document.end()) {
        loadElements(*state, *elements);
        *elements = OrderedJson::object();
    }
    for (std::size_t index = 0; index < state->elements.size(); ++index) {
        readElementKeys(state->elements[index], *state, placeOfElement(*state, index));
    }
    if (const OrderedJson* frontmost = member(document, "frontmost")) {
        loadFrontmost(*state, *frontmost);
    }
    if (const OrderedJson* keyboard = member(document, "keyboard")) {
        loadKeyboard(*state, *keyboard);
    } else {
        state->layout = readLayout(nullptr);
    }
    if (const OrderedJson* modifiers = member(document, "modifiers")) {
        loadModifiers(*state, *modifiers);
    }
    if (const OrderedJson* windows = member(document, "windows")) {
        loadWindows(*state, *windows);
    }
    if (const OrderedJson* files = member(document, "files")) {
        loadFiles(*state, *files);
    }
    return state;
}

}  // namespace fieldpilot::sim
