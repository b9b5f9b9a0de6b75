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

// An array or object spread over lines, one entry per line.
void appendSpread(std::string& text, const OrderedJson& container) {
    text += container.is_array() ? "[" : "{";
    const char* separator = "\n    ";
    for (const auto& entry : container.items()) {
        text += separator;
        if (container.is_object()) {
            text += compact(entry.key()) + ": ";
        }
        text += compact(entry.value());
        separator = ",\n    ";
    }
    text += container.is_array() ? "\n  ]" : "\n  }";
}

}  // namespace

std::string desktopFileText(const OrderedJson& document) {
    std::string text = "{";
    const char* separator = "\n  ";
    for (const auto& entry : document.items()) {
        text += separator + compact(entry.key()) + ": ";
        if (entry.value().is_structured() && !entry.value().empty()) {
            appendSpread(text, entry.value());
        } else {
            text += compact(entry.value());
        }
        separator = ",\n  ";
    }
    return text + "\n}\n";
}

OrderedJson savedDocument(const DesktopState& state) {
    OrderedJson document = state.document;
    const OrderedJson& systemWide = state.elements[kSystemWideElement].source;
    if (document.contains("systemWide") || !systemWide.empty()) {
        document["systemWide"] = systemWide;
    }
    if (document.contains("apps")) {
        OrderedJson apps = OrderedJson::array();
        for (const auto& app : state.apps) {
            apps.push_back(state.elements[app.element].source);
        }
        document["apps"] = std::move(apps);
    }
    if (document.contains("elements")) {
        OrderedJson elements = OrderedJson::object();
        for (std::size_t i = state.firstListedElement; i < state.elements.size(); ++i) {
            elements[state.elements[i].id] = state.elements[i].source;
        }
        document["elements"] = std::move(elements);
    }
    document["frontmost"] = state.frontmost ? OrderedJson(*state.frontmost) : OrderedJson();
    document["clipboard"] = state.clipboard;
    document["log"] = logWithThisRun(state);
    return document;
}

}  // namespace fieldpilot::sim
