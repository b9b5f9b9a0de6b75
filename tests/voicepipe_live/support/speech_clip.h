// Spoken test audio made at test time with espeak-ng and sox: a sentence as a steady synthetic
// voice, at the level and with the faint background that a real microphone would give.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace voicepipe::testing {

// Mono float samples at the rate the dictation records at.
inline constexpr int kSampleRate = 16000;

struct SpeechClip {
    std::vector<float> samples{};
    double onsetSeconds = 0;  // the first sample of speech
    double endSeconds = 0;    // just after the last sample of speech

    double seconds() const { return static_cast<double>(samples.size()) / kSampleRate; }
};

// The sentence spoken (voice en-us+klatt4, 175 words a minute), padded with 0.5 s of silence on
// both sides, normalised to a -15 dBFS peak and mixed with the noise floor. Its files are written
// into `folder`. nullopt when a tool fails.
std::optional<SpeechClip> synthesizeSpeech(const std::string& sentence,
                                           const std::filesystem::path& folder);

// `seconds` of the faint pink noise floor that also lies under every clip, written into `folder`.
std::optional<std::vector<float>> synthesizeNoiseFloor(double seconds,
                                                       const std::filesystem::path& folder);

}  // namespace voicepipe::testing
