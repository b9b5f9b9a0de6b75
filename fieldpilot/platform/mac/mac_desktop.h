// The real desktop of macOS behind the seam. Its members are defined by service, one file each:
// accessibility.cpp, workspace.mm, keyboard.cpp, keyboard_layout.cpp, windows.cpp, time.mm.
#pragma once

#include "platform/platform.h"

namespace fieldpilot::platform::mac {

class MacDesktop final : public Desktop {
  public:
    bool isProcessTrusted() override;
    Element createApplicationElement(Pid pid) override;
    Element createSystemWideElement() override;
    AttributeRead copyAttributeValue(const Element& element, std::string_view name) override;
    AXStatus setAttributeValue(const Element& element, std::string_view name,
                               const Value& value) override;
    AXStatus isAttributeSettable(const Element& element, std::string_view name,
                                 bool& settable) override;
    AXStatus getPid(const Element& element, Pid& pid) override;
    bool hidesAccessibilityTree(const Element& application) override;

    std::optional<RunningApplication> frontmostApplication() override;
    std::optional<RunningApplication> runningApplication(Pid pid) override;
    bool activateApplication(Pid pid, std::uint32_t options) override;

    std::uint64_t hidSystemModifierFlags() override;
    std::unique_ptr<EventSourceHandle> createPrivateEventSource() override;
    std::unique_ptr<KeyboardEventHandle> createKeyboardEvent(const EventSourceHandle* source,
                                                             std::uint16_t keyCode,
                                                             bool keyDown) override;
    void setEventFlags(KeyboardEventHandle& event, std::uint64_t flags) override;
    void postToHidEventTap(KeyboardEventHandle& event) override;
    std::unique_ptr<InputSourceHandle> copyCurrentKeyboardLayoutInputSource() override;
    std::optional<std::span<const std::uint8_t>> unicodeKeyLayoutData(
        const InputSourceHandle& source) override;
    KeyTranslation translateKey(std::span<const std::uint8_t> layoutData, std::uint16_t keyCode,
                                std::uint16_t keyAction, std::uint32_t modifierKeyState,
                                std::uint32_t keyboardType, std::uint32_t options,
                                std::uint32_t& deadKeyState, std::size_t maxLength) override;
    std::uint32_t keyboardType() override;
    bool isSecureEventInputEnabled() override;

    std::optional<WindowInfoList> copyWindowInfo(std::uint32_t windowNumber) override;

    bool fileExists(const std::string& path) override;
    Micros now() override;
    void sleepFor(Micros duration) override;
    void spinRunLoop(Micros duration) override;
};

}  // namespace fieldpilot::platform::mac
