#include "platform/sim/sim_element.h"

#include <charconv>
#include <memory>

namespace fieldpilot::sim {
namespace {

platform::Element makeElement(SimElement handle) {
    return platform::Element(std::make_shared<const SimElement>(std::move(handle)));
}

}  // namespace

std::string applicationElementId(platform::Pid pid) {
    return std::string(kApplicationIdPrefix) + std::to_string(pid);
}

std::optional<platform::Pid> pidOfApplicationId(std::string_view id) {
    if (!id.starts_with(kApplicationIdPrefix)) {
        return std::nullopt;
    }
    const std::string_view digits = id.substr(kApplicationIdPrefix.size());
    platform::Pid pid = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return pid;
}

platform::Element makeApplicationElement(const DesktopState& state, platform::Pid pid) {
    const auto app = state.appByPid.find(pid);
    if (app == state.appByPid.end()) {
        return makeElement(
            {SimElement::Kind::UnknownApplication, 0, pid, applicationElementId(pid)});
    }
    const std::size_t record = state.apps[app->second].element;
    return makeElement({SimElement::Kind::Record, record, pid, state.elements[record].id});
}

platform::Element makeElementReference(const DesktopState& state, std::string_view id) {
    if (const auto record = state.elementById.find(id); record != state.elementById.end()) {
        return makeElement({SimElement::Kind::Record, record->second, 0, std::string(id)});
    }
    if (const auto pid = pidOfApplicationId(id)) {
        return makeApplicationElement(state, *pid);
    }
    return makeElement({SimElement::Kind::Missing, 0, 0, std::string(id)});
}

const SimElement* simElement(const platform::Element& element) {
    return dynamic_cast<const SimElement*>(element.handle());
}

}  // namespace fieldpilot::sim
