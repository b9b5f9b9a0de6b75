// The simulated desktop of the Linux build: a scriptable model of running applications, their
// accessibility elements, the keyboard, the window server and the clipboard, on a virtual clock.
// It is loaded from a desktop file (or is the built-in demo), records every platform call in a
// log, and can be saved back as a desktop file with this run's log appended.
#pragma once

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace fieldpilot::sim {

// A desktop file that cannot be used; what() names the problem.
struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct AppRecord;
struct DesktopState;

class SimDesktop final : public platform::Desktop {
  public:
    // Parses the text of a desktop file; throws LoadError (what(): the problem) on bad input.
    static std::unique_ptr<SimDesktop> fromText(std::string_view jsonText);
    static std::unique_ptr<SimDesktop> demo();  // the built-in demo desktop

    explicit SimDesktop(std::unique_ptr<DesktopState> state);
    ~SimDesktop() override;

    // The desktop file as it would be saved now: the state, with this run's log entries appended.
    // (nlohmann::json sorts object keys; the saved file keeps the file's order.)
    nlohmann::json snapshot() const;
    // The element an id of the desktop file names ("system", "app:<pid>" or a key of "elements").
    platform::Element elementById(std::string_view id) const;
    // The desktop is written to `path` when it is destroyed.
    void saveWhenDestroyed(std::filesystem::path path);

    bool isProcessTrusted() override;
    platform::Element createApplicationElement(platform::Pid pid) override;
    platform::Element createSystemWideElement() override;
    platform::AttributeRead copyAttributeValue(const platform::Element& element,
                                               std::string_view name) override;
    platform::AXStatus setAttributeValue(const platform::Element& element, std::string_view name,
                                         const platform::Value& value) override;
    platform::AXStatus isAttributeSettable(const platform::Element& element, std::string_view name,
                                           bool& settable) override;
    platform::AXStatus getPid(const platform::Element& element, platform::Pid& pid) override;
    bool hidesAccessibilityTree(const platform::Element& application) override;

    std::optional<platform::RunningApplication> frontmostApplication() override;
    std::optional<platform::RunningApplication> runningApplication(platform::Pid pid) override;
    bool activateApplication(platform::Pid pid, std::uint32_t options) override;

    std::uint64_t hidSystemModifierFlags() override;
    std::unique_ptr<platform::EventSourceHandle> createPrivateEventSource() override;
    std::unique_ptr<platform::KeyboardEventHandle> createKeyboardEvent(
        const platform::EventSourceHandle* source, std::uint16_t keyCode, bool keyDown) override;
    void setEventFlags(platform::KeyboardEventHandle& event, std::uint64_t flags) override;
    void postToHidEventTap(platform::KeyboardEventHandle& event) override;
    std::unique_ptr<platform::InputSourceHandle> copyCurrentKeyboardLayoutInputSource() override;
    std::optional<std::span<const std::uint8_t>> unicodeKeyLayoutData(
        const platform::InputSourceHandle& source) override;
    platform::KeyTranslation translateKey(std::span<const std::uint8_t> layoutData,
                                          std::uint16_t keyCode, std::uint16_t keyAction,
                                          std::uint32_t modifierKeyState,
                                          std::uint32_t keyboardType, std::uint32_t options,
                                          std::uint32_t& deadKeyState,
                                          std::size_t maxLength) override;
    std::uint32_t keyboardType() override;
    bool isSecureEventInputEnabled() override;

    std::optional<platform::WindowInfoList> copyWindowInfo(std::uint32_t windowNumber) override;

    bool fileExists(const std::string& path) override;
    platform::Micros now() override;
    void sleepFor(platform::Micros duration) override;
    void spinRunLoop(platform::Micros duration) override;

  private:
    platform::AXStatus writeAttribute(const platform::Element& element, std::string_view name,
                                      const platform::Value& value);
    // An accepted request to come to the front, effective after the app's activation delay.
    void requestFront(const AppRecord& app);
    void advanceClock(platform::Micros duration);
    void applyKeyEffects(std::uint16_t keyCode, std::uint64_t flags);

    std::unique_ptr<DesktopState> state_;
    std::optional<std::filesystem::path> savePath_;
};

// The simulated desktop held in the desktop file at `path`, saved back to it when destroyed. When
// the file cannot be used, this writes one line naming it and the problem on standard error and
// returns null.
std::unique_ptr<platform::Desktop> openDesktopFile(const std::string& path);

}  // namespace fieldpilot::sim
