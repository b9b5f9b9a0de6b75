#include <memory>
#include <optional>

#include "events.h"
#include "level.h"
#include "session.h"

namespace voicepipe {

namespace {

// At most one measurement per 0.066 s: about 15 "level" events a second.
constexpr platform::Micros kLevelInterval{66'000};

// Shared by every call of the tap, which the platform makes one at a time; nothing else
// touches it.
struct LevelMeter {
    std::optional<platform::Micros> measuredAt;  // none: never measured, so the first is due
};

bool measurementDue(const LevelMeter& meter, platform::Micros now) {
    return !meter.measuredAt || now - *meter.measuredAt > kLevelInterval;
}

}  // namespace

platform::TapBlock makeAudioTap(DictationProcess& process) {
    auto meter = std::make_shared<LevelMeter>();
    return [&process, meter](const platform::AudioBuffer& buffer) {
        // Recognition gets every buffer, before and regardless of metering.
        process.request->append(buffer);
        if (!measurementDue(*meter, process.mainQueue.now()))
            return;
        const float* samples = buffer.floatChannel0();
        if (samples == nullptr)
            return;
        meter->measuredAt = process.mainQueue.now();
        const float level = inputLevel(samples, buffer.frameLength());
        process.mainQueue.async([&process, level] { process.lastLevel = level; });
        emit(process.events, {{"level", levelForEvent(level)}});
    };
}

}  // namespace voicepipe
