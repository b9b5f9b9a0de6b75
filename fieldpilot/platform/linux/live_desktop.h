// The live Linux desktop behind the seam: AT-SPI2 for accessibility, and the session's window
// system (X11 or a Wayland compositor, window_system.h) for windows and keys. Its members are
// defined by service, one file each: accessibility.cpp, attributes.cpp, extents.cpp, writes.cpp,
// toolkits.cpp, workspace.cpp, keyboard.cpp, keyboard_layout.cpp, typing_target.cpp, windows.cpp,
// time.cpp.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>

#include "accessibility_session.h"
#include "accessible_reads.h"
#include "platform/platform.h"
#include "window_system.h"

namespace fieldpilot::platform::live {

struct LiveElement;

class LiveDesktop final : public Desktop {
  public:
    // Opens the session's window system and the accessibility bus; either may fail, which the
    // trust check then reports.
    LiveDesktop();

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

  private:
    // Application-level attributes (attributes.cpp).
    AttributeRead applicationAttribute(Pid pid, std::string_view name);
    AttributeRead systemWideAttribute(std::string_view name);
    AttributeRead accessibleAttribute(const LiveElement& element, std::string_view name);
    AttributeRead focusedElementOf(Pid pid);
    AttributeRead frames(Pid pid, bool onlyActive, bool first);
    // What particular toolkits need (toolkits.cpp).
    std::string toolkitOf(Pid pid);
    void askToExposeTree(Pid pid);
    bool takesTextWrites(Pid pid);
    bool showsWebPages(Pid pid);
    TextQuirks textQuirksOf(Pid pid);
    // Text writes that the application answers with success but ignores (writes.cpp).
    AXStatus writeText(ApplicationCall& call, const LiveElement& element, const Value& value);
    bool textChanges(ApplicationCall& call, AtspiAccessible* accessible, const TextQuirks& quirks,
                     const std::string& before);
    // Whether the keys of this run go to a terminal (typing_target.cpp).
    bool typingIntoTerminal();
    // Window positions where AT-SPI's are not on the screen (extents.cpp).
    AttributeRead windowSystemExtents(const LiveElement& element, bool position);
    // Activation of the process's topmost window, the active window's owner and what is known of
    // a process (workspace.cpp).
    bool activateWindowsOf(Pid pid);
    std::optional<Pid> frontmostPid();
    RunningApplication describe(Pid pid);

    std::unique_ptr<WindowSystem> windows_;
    AccessibilitySession session_;
    std::map<Pid, RunningApplication> described_;
    std::map<Pid, std::string> toolkits_;
    std::optional<bool> typingIntoTerminal_;
    bool commandHeld_ = false;
    std::set<Pid> textReadOnce_;
};

}  // namespace fieldpilot::platform::live
