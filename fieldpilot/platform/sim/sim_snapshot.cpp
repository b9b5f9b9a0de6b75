#include "platform/sim/sim_snapshot.h"

namespace fieldpilot::sim {
namespace {

double seconds(platform::Micros time) {
    return static_cast<double>(time.count()) / 1e6;
}

OrderedJson entryJson(const LogEntry& entry) {
    struct Writer {
        OrderedJson operator()(const ReadLog& read) const {
            return {{"t", seconds(read.at)},
                    {"op", "read"},
                    {"element", read.element},
                    {"attribute", read.attribute},
                    {"status", read.status}};
        }
        OrderedJson operator()(const WriteLog& write) const {
            return {{"t", seconds(write.at)},   {"op", "write"},
                    {"element", write.element}, {"attribute", write.attribute},
                    {"value", write.value},     {"status", write.status}};
        }
        OrderedJson operator()(const SettableLog& query) const {
            return {{"t", seconds(query.at)},
                    {"op", "settable"},
                    {"element", query.element},
                    {"attribute", query.attribute},
                    {"status", query.status}};
        }
        OrderedJson operator()(const ActivateLog& activation) const {
            return {{"t", seconds(activation.at)},
                    {"op", "activate"},
                    {"pid", activation.pid},
                    {"options", activation.options}};
        }
        OrderedJson operator()(const KeyLog& key) const {
            return {{"t", seconds(key.at)},
                    {"op", "key"},
                    {"code", key.code},
                    {"down", key.down},
                    {"flags", key.flags}};
        }
    };
    return std::visit(Writer{}, entry);
}

OrderedJson logWithThisRun(const DesktopState& state) {
    OrderedJson log = state.document.value("log", OrderedJson::array());
    log.push_back({{"t", seconds(platform::Micros(0))}, {"op", "start"}});
    for (const auto& entry : state.log) {
        log.push_back(entryJson(entry));
    }
    return log;
}

std::string compact(const OrderedJson& value) {
    return value.dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

// A container spread over lines, one entry per line; `appendEntry(i)` appends the i-th entry
// (with its key in an object). An empty container stays on its line.
template <typename AppendEntry>
void appendSpread(std::string& text, bool object, std::size_t count, AppendEntry appendEntry) {
    if (count == 0) {
        text += object ? "{}" : "[]";
        return;
    }
    text += object ? "{" : "[";
    for (std::size_t i = 0; i < count; ++i) {
        text += i == 0 ? "\n    " : ",\n    ";
        appendEntry(i);
    }
    text += object ? "\n  }" : "\n  ]";
}

void appendMember(std::string& text, const std::string& key, const OrderedJson& value) {
    text += compact(key);
    text += ": ";
    text += compact(value);
}

void appendValue(std::string& text, const OrderedJson& value) {
    if (!value.is_structured()) {
        text += compact(value);
        return;
    }
    const auto& items = value.items();
    auto entry = items.begin();
    appendSpread(text, value.is_object(), value.size(), [&](std::size_t) {
        if (value.is_object()) {
            appendMember(text, entry.key(), entry.value());
        } else {
            text += compact(entry.value());
        }
        ++entry;
    });
}

// The saved document, but with "apps" and "elements" (where the file has them) left empty: their
// objects are the records' sources, copied or written from there.
OrderedJson savedFrame(const DesktopState& state) {
    OrderedJson document = state.document;
    const OrderedJson& systemWide = state.elements[kSystemWideElement].source;
    if (document.contains("systemWide") || !systemWide.empty()) {
        document["systemWide"] = systemWide;
    }
    if (document.contains("apps")) {
        document["apps"] = OrderedJson::array();
    }
    if (document.contains("elements")) {
        document["elements"] = OrderedJson::object();
    }
    document["frontmost"] = state.frontmost ? OrderedJson(*state.frontmost) : OrderedJson();
    document["clipboard"] = state.clipboard;
    document["log"] = logWithThisRun(state);
    return document;
}

std::size_t listedElements(const DesktopState& state) {
    return state.elements.size() - state.firstListedElement;
}

const ElementRecord& listedElement(const DesktopState& state, std::size_t i) {
    return state.elements[state.firstListedElement + i];
}

}  // namespace

std::string savedDesktopText(const DesktopState& state) {
    std::string text = "{";
    const char* separator = "\n  ";
    const OrderedJson frame = savedFrame(state);
    for (const auto& entry : frame.items()) {
        text += separator + compact(entry.key()) + ": ";
        if (entry.key() == "apps") {
            appendSpread(text, false, state.apps.size(), [&](std::size_t i) {
                text += compact(state.elements[state.apps[i].element].source);
            });
        } else if (entry.key() == "elements") {
            appendSpread(text, true, listedElements(state), [&](std::size_t i) {
                appendMember(text, listedElement(state, i).id, listedElement(state, i).source);
            });
        } else {
            appendValue(text, entry.value());
        }
        separator = ",\n  ";
    }
    return text + "\n}\n";
}

OrderedJson savedDocument(const DesktopState& state) {
    OrderedJson document = savedFrame(state);
    if (document.contains("apps")) {
        for (const auto& app : state.apps) {
            document["apps"].push_back(state.elements[app.element].source);
        }
    }
    if (document.contains("elements")) {
        // Appended as they are: ids are unique, and an ordered object's operator[] would search
        // every key before each one.
        auto& members = document["elements"].get_ref<OrderedJson::object_t&>();
        members.reserve(listedElements(state));
        for (std::size_t i = 0; i < listedElements(state); ++i) {
            members.emplace_back(listedElement(state, i).id, listedElement(state, i).source);
        }
    }
    return document;
}

}  // namespace fieldpilot::sim
