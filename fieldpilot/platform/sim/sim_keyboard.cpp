// The keyboard of the simulated desktop: modifier state over virtual time, input sources and key
// translation, and posted key events with their effects on the frontmost application's field.
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_element.h"
#include "platform/sim/sim_layouts.h"
#include "platform/sim/sim_records.h"
#include "platform/sim/sim_state.h"
#include "utf.h"

namespace fieldpilot::sim {
namespace {

constexpr std::uint64_t kCommandFlag = 0x100000;
constexpr std::uint16_t kDeleteKey = 51;
constexpr std::uint16_t kRightArrowKey = 124;
constexpr std::uint16_t kUCKeyActionDown = 0;
constexpr std::uint16_t kUCKeyActionAutoKey = 2;
// UCKeyTranslate's modifier key state for Command alone: (cmdKey >> 8) & 0xFF.
constexpr std::uint32_t kCommandKeyState = 1;

struct SimEventSource final : platform::EventSourceHandle {};

struct SimKeyboardEvent final : platform::KeyboardEventHandle {
    SimKeyboardEvent(std::uint16_t code, bool down) : code(code), down(down) {}
    std::uint16_t code;
    bool down;
    std::uint64_t flags = 0;
};

// Owns the layout data it hands out, as the platform's input source owns its property.
struct SimInputSource final : platform::InputSourceHandle {
    std::optional<std::vector<std::uint8_t>> layoutData;
};

// The element a key press reaches: the application's focused element when listed as a plain
// element, else the first element of the process (in file order) that says it is focused.
ElementRecord* focusedElementOf(DesktopState& state, platform::Pid pid) {
    const AppRecord& app = state.apps[state.appByPid.at(pid)];
    const platform::Value* focused =
        plainValue(state.elements[app.element], kFocusedElementAttribute);
    if (const auto* element = focused ? focused->get<platform::Element>() : nullptr) {
        const SimElement* handle = simElement(*element);
        const bool listed = handle && handle->kind == SimElement::Kind::Record;
        return listed ? &state.elements[handle->record] : nullptr;
    }
    for (const std::size_t index : state.elementsByPid[pid]) {
        if (index >= state.firstListedElement &&
            isPlainTrue(state.elements[index], kFocusedAttribute)) {
            return &state.elements[index];
        }
    }
    return nullptr;
}

enum class KeyEffect { None, SelectAll, Copy, Paste, DeleteBackward, CollapseToEnd };

// Command shortcuts go by the text their key types in the current layout while Command is held,
// plain keys by code.
KeyEffect effectOf(const KeyboardLayout& layout, std::uint16_t keyCode, std::uint64_t flags) {
    if (flags & kCommandFlag) {
        const auto key = layout.commandKeys.find(keyCode);
        const std::u16string_view typed = key == layout.commandKeys.end()
                                              ? std::u16string_view()
                                              : std::u16string_view(key->second);
        return typed == u"a"   ? KeyEffect::SelectAll
               : typed == u"c" ? KeyEffect::Copy
               : typed == u"v" ? KeyEffect::Paste
                               : KeyEffect::None;
    }
    if (flags == 0 && keyCode == kDeleteKey) {
        return KeyEffect::DeleteBackward;
    }
    if (flags == 0 && keyCode == kRightArrowKey) {
        return KeyEffect::CollapseToEnd;
    }
    return KeyEffect::None;
}

}  // namespace

std::uint64_t SimDesktop::hidSystemModifierFlags() {
    for (const auto& span : state_->modifiers) {
        if (state_->clock < span.until) {
            return span.flags;
        }
    }
    return 0;
}

std::unique_ptr<platform::EventSourceHandle> SimDesktop::createPrivateEventSource() {
    if (!state_->eventSource) {
        return nullptr;
    }
    return std::make_unique<SimEventSource>();
}

std::unique_ptr<platform::KeyboardEventHandle> SimDesktop::createKeyboardEvent(
    const platform::EventSourceHandle*, std::uint16_t keyCode, bool keyDown) {
    if (!state_->keyboardEvents) {
        return nullptr;
    }
    return std::make_unique<SimKeyboardEvent>(keyCode, keyDown);
}

void SimDesktop::setEventFlags(platform::KeyboardEventHandle& event, std::uint64_t flags) {
    if (auto* keyEvent = dynamic_cast<SimKeyboardEvent*>(&event)) {
        keyEvent->flags = flags;
    }
}

void SimDesktop::postToHidEventTap(platform::KeyboardEventHandle& event) {
    const auto* keyEvent = dynamic_cast<const SimKeyboardEvent*>(&event);
    if (!keyEvent) {
        return;
    }
    state_->log.push_back(KeyLog{state_->clock, keyEvent->code, keyEvent->down, keyEvent->flags});
    if (keyEvent->down) {
        applyKeyEffects(keyEvent->code, keyEvent->flags);
    }
}

void SimDesktop::applyKeyEffects(std::uint16_t keyCode, std::uint64_t flags) {
    if (state_->secureInput || !state_->frontmost) {
        return;
    }
    const KeyEffect effect = effectOf(state_->layout, keyCode, flags);
    ElementRecord* element = focusedElementOf(*state_, *state_->frontmost);
    auto field = element ? fieldText(*element) : std::nullopt;
    if (effect == KeyEffect::None || !field) {
        return;
    }
    switch (effect) {
        case KeyEffect::SelectAll:
            field->selectAll();
            break;
        case KeyEffect::Copy:
            if (field->selection.length > 0) {
                state_->clipboard = utf::utf16ToUtf8(field->selected());
            }
            return;
        case KeyEffect::Paste:
            field->replaceSelection(utf::utf8ToUtf16(state_->clipboard));
            break;
        case KeyEffect::DeleteBackward:
            field->deleteBackward();
            break;
        case KeyEffect::CollapseToEnd:
            field->collapseToEnd();
            break;
        case KeyEffect::None:
            return;
    }
    storeFieldText(*element, *field);
}

std::unique_ptr<platform::InputSourceHandle> SimDesktop::copyCurrentKeyboardLayoutInputSource() {
    const KeyboardLayout& layout = state_->layout;
    if (layout.kind == KeyboardLayout::Kind::None) {
        return nullptr;
    }
    auto source = std::make_unique<SimInputSource>();
    if (layout.kind == KeyboardLayout::Kind::Table) {
        source->layoutData = encodeLayout(layout);
    }
    return source;
}

std::optional<std::span<const std::uint8_t>> SimDesktop::unicodeKeyLayoutData(
    const platform::InputSourceHandle& source) {
    const auto* inputSource = dynamic_cast<const SimInputSource*>(&source);
    if (!inputSource || !inputSource->layoutData) {
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(*inputSource->layoutData);
}

// The layouts know only what each key types without modifiers and with Command alone, so a key
// with other modifiers, and any action but a key going down, types nothing.
platform::KeyTranslation SimDesktop::translateKey(std::span<const std::uint8_t> layoutData,
                                                  std::uint16_t keyCode, std::uint16_t keyAction,
                                                  std::uint32_t modifierKeyState, std::uint32_t,
                                                  std::uint32_t, std::uint32_t& deadKeyState,
                                                  std::size_t maxLength) {
    deadKeyState = 0;
    const bool commandHeld = modifierKeyState == kCommandKeyState;
    auto typed = typedByKey(layoutData, keyCode, commandHeld);
    if (const auto* status = std::get_if<std::int32_t>(&typed)) {
        return {*status, {}};
    }
    const bool typesText = (keyAction == kUCKeyActionDown || keyAction == kUCKeyActionAutoKey) &&
                           (modifierKeyState == 0 || commandHeld);
    auto& text = std::get<std::u16string>(typed);
    if (!typesText) {
        return {0, {}};
    }
    if (text.size() > maxLength) {
        return {kUCOutputBufferTooSmall, {}};
    }
    return {0, std::move(text)};
}

std::uint32_t SimDesktop::keyboardType() {
    return state_->keyboardType;
}

bool SimDesktop::isSecureEventInputEnabled() {
    return state_->secureInput;
}

}  // namespace fieldpilot::sim
