// The audio of a recognition request on its way from the capture thread to the decoding thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace voicepipe::platform::pulse_sphinx {

class AudioQueue {
  public:
    struct Taken {
        std::vector<std::vector<float>> buffers;
        // No audio follows the buffers taken.
        bool ended = false;
        // The reader is going away: the buffers are of no use.
        bool cancelled = false;
    };

    // Audio pushed after the end is dropped: the recogniser has been told there is no more.
    void push(std::vector<float> samples);
    void end();
    void cancel();
    // Waits until there are buffers, the end or the cancellation, and takes all the buffers.
    Taken take();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<float>> buffers_;
    bool ended_ = false;
    bool cancelled_ = false;
};

}  // namespace voicepipe::platform::pulse_sphinx
