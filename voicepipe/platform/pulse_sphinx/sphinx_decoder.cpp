#include "platform/pulse_sphinx/sphinx_decoder.h"

#include <pocketsphinx.h>
#include <sphinxbase/err.h>

#include <mutex>

namespace voicepipe::platform::pulse_sphinx {

namespace {

std::string joined(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return first + second;
    }
    return first + " " + second;
}

void silenceLog() {
    static std::once_flag once;
    std::call_once(once, [] { err_set_logfp(nullptr); });
}

}  // namespace

const DecoderOptions& dictationOptions() {
    static const DecoderOptions options = {};
    return options;
}

std::unique_ptr<SphinxDecoder> SphinxDecoder::load(const SphinxModel& model,
                                                   const DecoderOptions& options) {
    silenceLog();
    cmd_ln_t* config =
        cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", model.acousticModel.c_str(), "-lm",
                    model.languageModel.c_str(), "-dict", model.dictionary.c_str(), nullptr);
    if (config == nullptr) {
        return nullptr;
    }
    for (const auto& [name, value] : options) {
        if (cmd_ln_exists_r(config, name.c_str())) {
            cmd_ln_set_str_r(config, name.c_str(), value.c_str());
        }
    }
    ps_decoder_t* decoder = ps_init(config);
    cmd_ln_free_r(config);
    if (decoder == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<SphinxDecoder>(new SphinxDecoder(decoder));
}

SphinxDecoder::~SphinxDecoder() {
    if (inUtterance_) {
        ps_end_utt(decoder_);
    }
    ps_free(decoder_);
}

void SphinxDecoder::begin() {
    if (inUtterance_) {
        ps_end_utt(decoder_);
    }
    closedText_.clear();
    transcript_.clear();
    wasInSpeech_ = false;
    inUtterance_ = ps_start_utt(decoder_) == 0;
}

const std::string& SphinxDecoder::feed(const std::vector<std::int16_t>& pcm) {
    if (!inUtterance_) {
        inUtterance_ = ps_start_utt(decoder_) == 0;
    }
    ps_process_raw(decoder_, pcm.data(), pcm.size(), FALSE, FALSE);
    const bool inSpeech = ps_get_in_speech(decoder_) != 0;
    // A pause ends the utterance: the decoder's final pass then runs over that stretch alone,
    // during the dictation, and its search tables stay the size of one sentence.
    if (wasInSpeech_ && !inSpeech) {
        closeUtterance();
    } else {
        transcript_ = joined(closedText_, hypothesis());
    }
    wasInSpeech_ = inSpeech;
    return transcript_;
}

const std::string& SphinxDecoder::end() {
    if (inUtterance_) {
        closeUtterance();
    }
    return transcript_;
}

void SphinxDecoder::closeUtterance() {
    ps_end_utt(decoder_);
    inUtterance_ = false;
    closedText_ = joined(closedText_, hypothesis());
    transcript_ = closedText_;
}

std::string SphinxDecoder::hypothesis() {
    const char* text = ps_get_hyp(decoder_, nullptr);
    return text != nullptr ? text : "";
}

}  // namespace voicepipe::platform::pulse_sphinx
