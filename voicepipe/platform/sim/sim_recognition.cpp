#include "platform/sim/sim_recognition.h"

#include <algorithm>
#include <utility>

namespace voicepipe::platform::sim {

namespace {

// Nothing to hold: the deliveries are already on the main queue once the task exists, and a task
// is never cancelled.
class SimRecognitionTask final : public RecognitionTask {};

void deliverAfter(MainQueue& mainQueue, Micros delay, std::shared_ptr<ResultHandler> handler,
                  const Delivery& delivery) {
    mainQueue.after(std::max(delay, Micros{0}), [handler = std::move(handler), delivery] {
        (*handler)(delivery.result, delivery.error);
    });
}

}  // namespace

void AudioEnd::markEnded(Micros at) {
    std::vector<Listener> listeners;
    {
        std::lock_guard lock(mutex_);
        if (endedAt_) {
            return;
        }
        endedAt_ = at;
        listeners.swap(listeners_);
    }
    for (const auto& listener : listeners) {
        listener(at);
    }
}

void AudioEnd::whenEnded(Listener listener) {
    std::optional<Micros> endedAt;
    {
        std::lock_guard lock(mutex_);
        if (!endedAt_) {
            listeners_.push_back(std::move(listener));
            return;
        }
        endedAt = endedAt_;
    }
    listener(*endedAt);
}

void SimRecognitionRequest::append(const AudioBuffer&) {
    ++context_->appendedBuffers;
}

void SimRecognitionRequest::endAudio() {
    context_->log->record({{"op", "endAudio"}});
    audioEnd_->markEnded(context_->mainQueue.now());
}

json::Object SimRecognitionRequest::settings() const {
    return {{"op", "request"},
            {"partial", partialResults_},
            {"punctuation", punctuation_},
            {"onDevice", onDevice_}};
}

std::unique_ptr<RecognitionTask> SimRecognizer::recognitionTask(RecognitionRequest& request,
                                                                ResultHandler handler) {
    auto& simRequest = dynamic_cast<SimRecognitionRequest&>(request);
    context_->log->record(simRequest.settings());
    context_->log->record({{"op", "task"}});

    auto sharedHandler = std::make_shared<ResultHandler>(std::move(handler));
    for (const auto& delivery : context_->scenario.results) {
        deliverAfter(context_->mainQueue, delivery.offset, sharedHandler, delivery);
    }
    simRequest.audioEnd().whenEnded([context = context_, sharedHandler](Micros endedAt) {
        // A task opened after the audio ended still keeps the times counted from that end.
        const Micros sinceEnd = context->mainQueue.now() - endedAt;
        for (const auto& delivery : context->scenario.afterEnd) {
            deliverAfter(context->mainQueue, delivery.offset - sinceEnd, sharedHandler, delivery);
        }
    });
    return std::make_unique<SimRecognitionTask>();
}

}  // namespace voicepipe::platform::sim
