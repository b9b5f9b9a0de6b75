#include "platform/pulse_sphinx/audio_queue.h"

#include <utility>

namespace voicepipe::platform::pulse_sphinx {

void AudioQueue::push(std::vector<float> samples) {
    {
        std::lock_guard lock(mutex_);
        if (ended_ || cancelled_) {
            return;
        }
        buffers_.push_back(std::move(samples));
    }
    changed_.notify_all();
}

void AudioQueue::end() {
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
}

void AudioQueue::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

AudioQueue::Taken AudioQueue::take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !buffers_.empty() || ended_ || cancelled_; });
    Taken taken;
    taken.cancelled = cancelled_;
    taken.ended = ended_;
    taken.buffers.assign(std::make_move_iterator(buffers_.begin()),
                         std::make_move_iterator(buffers_.end()));
    buffers_.clear();
    return taken;
}

}  // namespace voicepipe::platform::pulse_sphinx
