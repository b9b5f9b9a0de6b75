// voicepipe_transcribe [--realtime] [-option value]... -- file.f32...: feeds each file (raw
// 32-bit float mono samples at 16 kHz) through the live recogniser in the tap's 1024-frame
// buffers and prints one tab-separated line per file: name, audio seconds, seconds from the
// first buffer to the first partial result, seconds from the end of the audio to the final
// result, the process's CPU seconds from the first buffer to the final result, and the final
// text. The options are PocketSphinx's, replacing the dictation settings of
// the same name;
// --realtime paces the buffers as a microphone would.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/event_loop.h"
#include "platform/pulse_sphinx/sphinx_recognition.h"

using namespace voicepipe::platform;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kFramesPerBuffer = 1024;
constexpr double kRate = 16000;

class FileBuffer final : public AudioBuffer {
  public:
    explicit FileBuffer(std::vector<float> samples) : samples_(std::move(samples)) {}
    std::uint32_t frameLength() const override {
        return static_cast<std::uint32_t>(samples_.size());
    }
    const float* floatChannel0() const override { return samples_.data(); }

  private:
    std::vector<float> samples_;
};

std::vector<float> readSamples(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void transcribe(pulse_sphinx::SphinxRecognizer& recognizer, const std::string& path, bool realtime,
                linux_backend::EventLoop& loop) {
    const std::vector<float> samples = readSamples(path);
    pulse_sphinx::SphinxRecognitionRequest request;
    std::optional<Clock::time_point> firstPartial;
    std::optional<Clock::time_point> finalAt;
    std::string finalText;
    auto task =
        recognizer.recognitionTask(request, [&](const std::optional<RecognitionResult>& result,
                                                const std::optional<RecognitionError>&) {
            if (!result) {
                return;
            }
            if (result->isFinal) {
                finalAt = Clock::now();
                finalText = result->bestTranscription;
            } else if (!firstPartial) {
                firstPartial = Clock::now();
            }
        });
    const Clock::time_point startedAt = Clock::now();
    const double cpuAtStart = cpuSeconds();
    for (std::size_t offset = 0; offset < samples.size(); offset += kFramesPerBuffer) {
        const std::size_t end = std::min(samples.size(), offset + kFramesPerBuffer);
        if (realtime) {
            std::this_thread::sleep_until(
                startedAt + std::chrono::microseconds(static_cast<long>(end * 1e6 / kRate)));
        }
        request.append(FileBuffer({samples.begin() + offset, samples.begin() + end}));
        loop.runDue();
    }
    const Clock::time_point endedAt = Clock::now();
    request.endAudio();
    while (!finalAt) {
        loop.runOnce(std::nullopt);
    }
    std::printf("%s\t%.2f\t%.3f\t%.3f\t%.3f\t%s\n", path.c_str(), samples.size() / kRate,
                firstPartial ? secondsBetween(startedAt, *firstPartial) : -1.0,
                secondsBetween(endedAt, *finalAt), cpuSeconds() - cpuAtStart, finalText.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    bool realtime = false;
    pulse_sphinx::DecoderOptions options = pulse_sphinx::dictationOptions();
    int index = 1;
    for (; index < argc && std::string(argv[index]) != "--"; ++index) {
        if (std::string(argv[index]) == "--realtime") {
            realtime = true;
        } else if (index + 1 < argc) {
            std::erase_if(options, [&](const auto& option) { return option.first == argv[index]; });
            options.emplace_back(argv[index], argv[index + 1]);
            ++index;
        }
    }
    const auto model = pulse_sphinx::findModel(pulse_sphinx::kModelRoot, "en-US");
    if (!model) {
        std::fprintf(stderr, "no en-US model under %s\n", pulse_sphinx::kModelRoot.c_str());
        return 1;
    }
    linux_backend::EventLoop loop;
    for (++index; index < argc; ++index) {
        // A fresh decoder per file, as each voicepipe process loads its own: the decoder's
        // running normalisation would otherwise carry over from one file to the next.
        auto loaded = std::make_shared<pulse_sphinx::LoadedDecoder>();
        loaded->decoder = pulse_sphinx::SphinxDecoder::load(*model, options);
        if (!loaded->decoder) {
            std::fprintf(stderr, "PocketSphinx refused the model or the options\n");
            return 1;
        }
        pulse_sphinx::SphinxRecognizer recognizer(loaded, loop);
        transcribe(recognizer, argv[index], realtime, loop);
    }
}
