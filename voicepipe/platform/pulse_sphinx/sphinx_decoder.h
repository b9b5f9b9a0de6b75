// One PocketSphinx decoder with its model loaded, and the transcript of the audio fed to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/pulse_sphinx/locale_rules.h"

struct ps_decoder_s;

namespace voicepipe::platform::pulse_sphinx {

// Decoder options as PocketSphinx's command line names them, e.g. {"-beam", "1e-60"}.
using DecoderOptions = std::vector<std::pair<std::string, std::string>>;

// The options that dictation decodes with.
const DecoderOptions& dictationOptions();

class SphinxDecoder {
  public:
    // Loads the model (the slow part: about a second); null when PocketSphinx refuses it. Nothing
    // of PocketSphinx's log reaches standard error.
    static std::unique_ptr<SphinxDecoder> load(const SphinxModel& model,
                                               const DecoderOptions& options);
    ~SphinxDecoder();
    SphinxDecoder(const SphinxDecoder&) = delete;
    SphinxDecoder& operator=(const SphinxDecoder&) = delete;

    // Starts a dictation. Its transcript is the text of its utterances, which end at pauses.
    void begin();
    // Decodes 16 kHz 16-bit PCM; the transcript so far.
    const std::string& feed(const std::vector<std::int16_t>& pcm);
    // The transcript of the whole dictation, with the decoder's slower final pass.
    const std::string& end();

  private:
    explicit SphinxDecoder(ps_decoder_s* decoder) : decoder_(decoder) {}
    void closeUtterance();
    std::string hypothesis();

    ps_decoder_s* decoder_;
    bool inUtterance_ = false;
    bool wasInSpeech_ = false;
    std::string closedText_;
    std::string transcript_;
};

}  // namespace voicepipe::platform::pulse_sphinx
