#include "support/speech_clip.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "support/helper_program.h"

namespace voicepipe::testing {

namespace {

const std::string kVoice = "en-us+klatt4";
const std::string kWordsPerMinute = "175";
const std::string kPadSeconds = "0.5";
const std::string kPeakDecibels = "-15";
// Pink noise from sox's synth has an RMS level of about -14 dBFS at unit gain, so this puts the
// floor near -64 dBFS RMS: enough that the recogniser never meets pure digital silence, faint
// enough that it does not mistake it for speech.
const std::string kNoiseGainDecibels = "-50";
// Speech starts and ends where the padded, noise-free signal first and last rises above this.
constexpr float kSpeechThreshold = 0.004f;

std::vector<std::string> rawFloatFormat() {
    return {"-t", "raw", "-e", "floating-point", "-b", "32", "-r", std::to_string(kSampleRate),
            "-c", "1"};
}

std::vector<std::string> concatenated(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> whole;
    for (auto& part : parts)
        whole.insert(whole.end(), part.begin(), part.end());
    return whole;
}

std::vector<float> readSamples(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(stream), {}};
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::copy_n(bytes.data(), samples.size() * sizeof(float),
                reinterpret_cast<char*>(samples.data()));
    return samples;
}

bool makeNoise(double seconds, const std::filesystem::path& file) {
    return runHelperProgram(concatenated({{"sox", "-q", "-n"},
                                          rawFloatFormat(),
                                          {file.string(), "synth", std::to_string(seconds),
                                           "pinknoise", "gain", kNoiseGainDecibels}}));
}

}  // namespace

std::optional<SpeechClip> synthesizeSpeech(const std::string& sentence,
                                           const std::filesystem::path& folder) {
    const auto spoken = folder / "spoken.wav";
    const auto speech = folder / "speech.f32";
    const auto noise = folder / "noise.f32";
    const auto mixed = folder / "mixed.f32";
    if (!runHelperProgram(
            {"espeak-ng", "-v", kVoice, "-s", kWordsPerMinute, "-w", spoken.string(), sentence}) ||
        !runHelperProgram(concatenated(
            {{"sox", "-q", spoken.string()},
             rawFloatFormat(),
             {speech.string(), "norm", kPeakDecibels, "pad", kPadSeconds, kPadSeconds}}))) {
        return std::nullopt;
    }
    const std::vector<float> speechOnly = readSamples(speech);
    const auto loud = [](float sample) { return std::fabs(sample) > kSpeechThreshold; };
    const auto first = std::find_if(speechOnly.begin(), speechOnly.end(), loud);
    const auto last = std::find_if(speechOnly.rbegin(), speechOnly.rend(), loud);
    if (first == speechOnly.end())
        return std::nullopt;

    // Unless given a volume of 1, `sox -m` halves every input to keep the sum from clipping.
    const double seconds = static_cast<double>(speechOnly.size()) / kSampleRate;
    if (!makeNoise(seconds, noise) ||
        !runHelperProgram(concatenated({{"sox", "-q", "-m", "-v", "1"},
                                        rawFloatFormat(),
                                        {speech.string(), "-v", "1"},
                                        rawFloatFormat(),
                                        {noise.string()},
                                        rawFloatFormat(),
                                        {mixed.string()}}))) {
        return std::nullopt;
    }
    SpeechClip clip{.samples = readSamples(mixed)};
    clip.onsetSeconds = static_cast<double>(first - speechOnly.begin()) / kSampleRate;
    clip.endSeconds = static_cast<double>(speechOnly.rend() - last) / kSampleRate;
    return clip;
}

std::optional<std::vector<float>> synthesizeNoiseFloor(double seconds,
                                                       const std::filesystem::path& folder) {
    const auto noise = folder / "noise_floor.f32";
    if (!makeNoise(seconds, noise))
        return std::nullopt;
    return readSamples(noise);
}

}  // namespace voicepipe::testing
