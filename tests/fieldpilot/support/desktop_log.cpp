#include "support/desktop_log.h"

namespace fieldpilot::test {

namespace {

std::vector<nlohmann::json> attributeEntries(const nlohmann::json& desktop, std::string_view op,
                                             std::string_view element, std::string_view attribute) {
    std::vector<nlohmann::json> entries;
    for (const auto& entry : logEntries(desktop, op)) {
        if (entry.value("element", "") == element && entry.value("attribute", "") == attribute) {
            entries.push_back(entry);
        }
    }
    return entries;
}

}  // namespace

std::vector<nlohmann::json> logEntries(const nlohmann::json& desktop, std::string_view op) {
    std::vector<nlohmann::json> entries;
    for (const auto& entry : desktop.at("log")) {
        if (entry.value("op", "") == op)
            entries.push_back(entry);
    }
    return entries;
}

std::vector<nlohmann::json> readsOf(const nlohmann::json& desktop, std::string_view element,
                                    std::string_view attribute) {
    return attributeEntries(desktop, "read", element, attribute);
}

std::vector<nlohmann::json> writesOf(const nlohmann::json& desktop, std::string_view element,
                                     std::string_view attribute) {
    return attributeEntries(desktop, "write", element, attribute);
}

double lastLogTime(const nlohmann::json& desktop) {
    return desktop.at("log").back().at("t").get<double>();
}

nlohmann::json toNlohmann(const json::Object& reply) {
    return nlohmann::json::parse(json::serialize(reply));
}

}  // namespace fieldpilot::test
