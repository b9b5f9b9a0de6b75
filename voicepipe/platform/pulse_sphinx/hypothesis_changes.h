// Which hypotheses of a running decoder become partial results.
#pragma once

#include <string>

namespace voicepipe::platform::pulse_sphinx {

// The decoder is asked after every buffer and mostly answers what it answered before; only a
// hypothesis that differs from the last one reported is news. An empty one before any words is
// not: a partial result always carries text.
class HypothesisChanges {
  public:
    bool isNews(const std::string& hypothesis) {
        if (hypothesis == lastReported_) {
            return false;
        }
        lastReported_ = hypothesis;
        return true;
    }

  private:
    std::string lastReported_;
};

}  // namespace voicepipe::platform::pulse_sphinx
