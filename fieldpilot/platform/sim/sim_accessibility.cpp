// The accessibility calls of the simulated desktop: element creation, attribute reads and writes
// with their effects, settability and process ids. Every read, write and settability query is
// logged with its status.
#include <algorithm>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_element.h"
#include "platform/sim/sim_parse.h"
#include "platform/sim/sim_records.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/sim_values.h"
#include "utf.h"

namespace fieldpilot::sim {
namespace {

using platform::AttributeRead;
using platform::AXStatus;
using platform::Element;

constexpr std::string_view kFrontmostAttribute = "AXFrontmost";
// A written value is saved three levels into the desktop file, as an attribute of an element
// (document, "elements", the element) and in its log entry (document, "log", the entry).
constexpr std::size_t kWrittenValueNesting = kMaxNesting - 3;
constexpr std::string_view kSelectedTextAttribute = "AXSelectedText";
constexpr std::string_view kFocusedApplicationAttribute = "AXFocusedApplication";

// The record an element stands for, or the status every call on it fails with.
struct Target {
    ElementRecord* record = nullptr;
    std::size_t index = 0;
    AXStatus failure = kAXErrorSuccess;
};

Target resolve(DesktopState& state, const Element& element) {
    const SimElement* handle = simElement(element);
    if (!handle) {
        return {nullptr, 0, kAXErrorIllegalArgument};
    }
    switch (handle->kind) {
        case SimElement::Kind::Record:
            if (handle->record < state.elements.size()) {
                return {&state.elements[handle->record], handle->record, kAXErrorSuccess};
            }
            return {nullptr, 0, kAXErrorInvalidUIElement};
        case SimElement::Kind::UnknownApplication:
            return {nullptr, 0, kAXErrorCannotComplete};
        case SimElement::Kind::Missing:
            break;
    }
    return {nullptr, 0, kAXErrorInvalidUIElement};
}

std::string idOf(const Element& element) {
    const SimElement* handle = simElement(element);
    return handle ? handle->id : std::string();
}

const ElementRecord* applicationRecordOf(const DesktopState& state, const ElementRecord& record) {
    if (!record.pid) {
        return nullptr;
    }
    const auto app = state.appByPid.find(*record.pid);
    return app == state.appByPid.end() ? nullptr : &state.elements[state.apps[app->second].element];
}

bool conditionsHold(const DesktopState& state, const ElementRecord& record,
                    const AttributeListing::When& when) {
    const ElementRecord* application = applicationRecordOf(state, record);
    if (!application) {
        return false;
    }
    return std::all_of(when.conditions.begin(), when.conditions.end(), [&](const auto& condition) {
        const auto current = application->source.find(condition.first);
        return current != application->source.end() && *current == condition.second;
    });
}

AttributeRead answer(const DesktopState& state, const ElementRecord& record,
                     const AttributeListing& listing, std::size_t readIndex) {
    struct Answerer {
        const DesktopState& state;
        const ElementRecord& record;
        std::size_t readIndex;

        AttributeRead operator()(const AttributeListing::Plain& plain) const {
            return {kAXErrorSuccess, plain.value};
        }
        AttributeRead operator()(const AttributeListing::Failure& failure) const {
            return {failure.status, std::nullopt};
        }
        AttributeRead operator()(const AttributeListing::Reads& reads) const {
            const std::size_t step = std::min(readIndex, reads.steps.size() - 1);
            return answer(state, record, reads.steps[step], readIndex);
        }
        AttributeRead operator()(const AttributeListing::When& when) const {
            const auto& branch = conditionsHold(state, record, when) ? when.then : when.otherwise;
            if (!branch) {
                return {kAXErrorAttributeUnsupported, std::nullopt};
            }
            return answer(state, record, *branch, readIndex);
        }
    };
    return std::visit(Answerer{state, record, readIndex}, listing.form);
}

AttributeRead focusedApplication(const DesktopState& state) {
    if (!state.frontmost) {
        return {kAXErrorNoValue, std::nullopt};
    }
    return {kAXErrorSuccess, makeApplicationElement(state, *state.frontmost)};
}

AttributeRead readAttribute(DesktopState& state, const Element& element, std::string_view name) {
    const Target target = resolve(state, element);
    if (!target.record) {
        return {target.failure, std::nullopt};
    }
    if (const auto attribute = target.record->attributes.find(name);
        attribute != target.record->attributes.end()) {
        const std::size_t readIndex = attribute->second.readsSoFar++;
        return answer(state, *target.record, attribute->second.listing, readIndex);
    }
    if (name == kSelectedTextAttribute) {
        if (auto selected = derivedSelectedText(*target.record)) {
            return {kAXErrorSuccess, std::move(*selected)};
        }
    }
    if (target.index == kSystemWideElement && name == kFocusedApplicationAttribute) {
        return focusedApplication(state);
    }
    return {kAXErrorAttributeUnsupported, std::nullopt};
}

// Focus moves within the process: the element that had it loses it, and the application's focused
// element follows when the application lists one as a plain element.
void moveFocusTo(DesktopState& state, std::size_t index) {
    const ElementRecord& focused = state.elements[index];
    if (!focused.pid) {
        return;
    }
    for (const std::size_t other : state.elementsByPid[*focused.pid]) {
        if (other != index && isPlainTrue(state.elements[other], kFocusedAttribute)) {
            storeAttribute(state.elements[other], kFocusedAttribute, false);
        }
    }
    const auto app = state.appByPid.find(*focused.pid);
    if (app == state.appByPid.end()) {
        return;
    }
    ElementRecord& application = state.elements[state.apps[app->second].element];
    const platform::Value* current = plainValue(application, kFocusedElementAttribute);
    if (current && current->get<Element>()) {
        storeAttribute(application, kFocusedElementAttribute,
                       makeElementReference(state, focused.id));
    }
}

const AppRecord* applicationWithElement(const DesktopState& state, const Target& target) {
    const auto app =
        target.record->pid ? state.appByPid.find(*target.record->pid) : state.appByPid.end();
    if (app == state.appByPid.end() || state.apps[app->second].element != target.index) {
        return nullptr;
    }
    return &state.apps[app->second];
}

}  // namespace

Element SimDesktop::createApplicationElement(platform::Pid pid) {
    return makeApplicationElement(*state_, pid);
}

Element SimDesktop::createSystemWideElement() {
    return makeElementReference(*state_, kSystemWideId);
}

AttributeRead SimDesktop::copyAttributeValue(const Element& element, std::string_view name) {
    AttributeRead read = readAttribute(*state_, element, name);
    state_->log.push_back(ReadLog{state_->clock, idOf(element), std::string(name), read.status});
    return read;
}

AXStatus SimDesktop::setAttributeValue(const Element& element, std::string_view name,
                                       const platform::Value& value) {
    // Saved, such a value would nest deeper than a desktop file may, and the next run could not
    // load the file: it is refused, and logged without its value.
    if (nestsDeeperThan(value, kWrittenValueNesting)) {
        state_->log.push_back(WriteLog{state_->clock, idOf(element), std::string(name), nullptr,
                                       kAXErrorIllegalArgument});
        return kAXErrorIllegalArgument;
    }
    const AXStatus status = writeAttribute(element, name, value);
    state_->log.push_back(
        WriteLog{state_->clock, idOf(element), std::string(name), encodeValue(value), status});
    return status;
}

AXStatus SimDesktop::writeAttribute(const Element& element, std::string_view name,
                                    const platform::Value& value) {
    const Target target = resolve(*state_, element);
    if (!target.record) {
        return target.failure;
    }
    if (const auto refusal = target.record->setErrors.find(name);
        refusal != target.record->setErrors.end()) {
        return refusal->second;
    }
    storeAttribute(*target.record, name, value);
    const bool turnedOn = value.get<bool>() && *value.get<bool>();
    if (name == kFocusedAttribute && turnedOn) {
        moveFocusTo(*state_, target.index);
    } else if (name == kFrontmostAttribute && turnedOn) {
        if (const AppRecord* app = applicationWithElement(*state_, target);
            app && app->activation != Activation::Refuse) {
            requestFront(*app);
        }
    } else if (name == kValueAttribute && value.get<std::string>()) {
        const auto length = utf::utf8ToUtf16(*value.get<std::string>()).size();
        storeSelection(*target.record, {static_cast<std::int64_t>(length), 0});
    }
    return kAXErrorSuccess;
}

AXStatus SimDesktop::isAttributeSettable(const Element& element, std::string_view name,
                                         bool& settable) {
    const Target target = resolve(*state_, element);
    AXStatus status = target.failure;
    if (target.record) {
        const auto refusal = target.record->settableErrors.find(name);
        if (refusal != target.record->settableErrors.end()) {
            status = refusal->second;
        } else {
            settable = target.record->settable.contains(name);
        }
    }
    state_->log.push_back(SettableLog{state_->clock, idOf(element), std::string(name), status});
    return status;
}

AXStatus SimDesktop::getPid(const Element& element, platform::Pid& pid) {
    const SimElement* handle = simElement(element);
    if (handle && handle->kind == SimElement::Kind::UnknownApplication) {
        pid = handle->pid;
        return kAXErrorSuccess;
    }
    const Target target = resolve(*state_, element);
    if (!target.record) {
        return target.failure;
    }
    if (!target.record->pid) {
        return kAXErrorInvalidUIElement;
    }
    pid = *target.record->pid;
    return kAXErrorSuccess;
}

bool SimDesktop::hidesAccessibilityTree(const Element& application) {
    const Target target = resolve(*state_, application);
    if (!target.record || !target.record->pid) {
        return false;
    }
    const auto app = state_->appByPid.find(*target.record->pid);
    if (app == state_->appByPid.end()) {
        return false;
    }
    const AppRecord& record = state_->apps[app->second];
    return record.element == target.index && record.treeHidden;
}

}  // namespace fieldpilot::sim
