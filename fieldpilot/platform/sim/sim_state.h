// The parsed state of a simulated desktop, shared by the files that implement SimDesktop.
//
// Every element keeps the JSON object it was loaded from (`source`), so that keys this model does
// not know survive a save; writes update that object and the parsed attribute table together.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "platform/platform.h"

namespace fieldpilot::sim {

using OrderedJson = nlohmann::ordered_json;

// Lets the hash containers below be searched with a string_view without building a string.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};
template <typename T>
using TextMap = std::unordered_map<std::string, T, TextHash, std::equal_to<>>;
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

// How an attribute answers a read: a value (or none), a failure, a sequence over reads, or a choice
// on the owning application's current attributes.
struct AttributeListing {
    struct Plain {
        std::optional<platform::Value> value;  // none: the read succeeds without a value
    };
    struct Failure {
        platform::AXStatus status;
    };
    struct Reads {
        std::vector<AttributeListing> steps;  // never empty
    };
    struct When {
        std::vector<std::pair<std::string, OrderedJson>> conditions;
        std::unique_ptr<AttributeListing> then;       // null: the attribute is unsupported
        std::unique_ptr<AttributeListing> otherwise;  // null: the attribute is unsupported
    };
    std::variant<Plain, Failure, Reads, When> form;
};

struct Attribute {
    AttributeListing listing;
    std::size_t readsSoFar = 0;  // counts this run's reads, for "reads" sequences
};

// A selected range of "AXValue" in UTF-16 code units, as the platform counts ranges.
struct TextRange {
    std::int64_t location = 0;
    std::int64_t length = 0;
};

struct ElementRecord {
    std::string id;
    std::optional<platform::Pid> pid;
    TextMap<Attribute> attributes;
    TextSet settable;
    TextMap<platform::AXStatus> settableErrors;
    TextMap<platform::AXStatus> setErrors;
    std::optional<TextRange> selection;
    OrderedJson source;
};

enum class Activation { Accept, Refuse, AxOnly };

struct AppRecord {
    platform::Pid pid = 0;
    std::optional<std::string> name;
    std::optional<std::string> bundleId;
    std::optional<std::string> bundlePath;
    bool terminated = false;
    bool treeHidden = false;
    Activation activation = Activation::Accept;
    platform::Micros activationDelay{0};
    std::size_t element = 0;  // index of the application's element in DesktopState::elements
};

// What each key code types without modifiers.
using KeyTable = std::unordered_map<std::uint16_t, std::u16string>;

struct KeyboardLayout {
    enum class Kind { Table, NoData, None };
    Kind kind = Kind::Table;
    KeyTable keys;         // what each key types without modifiers
    KeyTable commandKeys;  // and while Command is held
};

struct ModifierSpan {
    platform::Micros until{0};
    std::uint64_t flags = 0;
};

// A window description as written in the file: a dictionary, a list that does not convert, or no
// list at all.
struct WindowEntry {
    enum class Kind { Description, Unconvertible, NoList };
    Kind kind = Kind::Description;
    platform::WindowDescription description;
};

struct PendingActivation {
    platform::Micros due{0};
    platform::Pid pid = 0;
};

struct ReadLog {
    platform::Micros at;
    std::string element;
    std::string attribute;
    platform::AXStatus status;
};
struct WriteLog {
    platform::Micros at;
    std::string element;
    std::string attribute;
    OrderedJson value;
    platform::AXStatus status;
};
struct SettableLog {
    platform::Micros at;
    std::string element;
    std::string attribute;
    platform::AXStatus status;
};
struct ActivateLog {
    platform::Micros at;
    platform::Pid pid;
    std::uint32_t options;
};
struct KeyLog {
    platform::Micros at;
    std::uint16_t code;
    bool down;
    std::uint64_t flags;
};
using LogEntry = std::variant<ReadLog, WriteLog, SettableLog, ActivateLog, KeyLog>;

inline constexpr std::size_t kSystemWideElement = 0;  // index in DesktopState::elements

struct DesktopState {
    // The file as loaded, for the keys this model does not own. The objects of "apps" and
    // "elements" have been moved to their records' `source`, leaving both keys empty in place.
    OrderedJson document;
    bool trusted = true;
    bool secureInput = false;
    std::optional<platform::Pid> frontmost;
    std::vector<AppRecord> apps;
    std::unordered_map<platform::Pid, std::size_t> appByPid;
    // The system-wide element first, then the applications' elements, then `elements` in order.
    std::vector<ElementRecord> elements;
    TextMap<std::size_t> elementById;
    std::unordered_map<platform::Pid, std::vector<std::size_t>> elementsByPid;
    std::size_t firstListedElement = 0;
    KeyboardLayout layout;
    std::uint32_t keyboardType = 40;
    std::vector<ModifierSpan> modifiers;
    std::unordered_map<std::uint32_t, WindowEntry> windows;
    std::unordered_set<std::string> files;
    std::string clipboard;
    bool eventSource = true;
    bool keyboardEvents = true;

    platform::Micros clock{0};
    std::vector<PendingActivation> pendingActivations;
    std::vector<LogEntry> log;
};

}  // namespace fieldpilot::sim
