// An eventfd that lets any thread wake a loop sleeping in poll.
#pragma once

namespace voicepipe::platform::linux_backend {

class WakeFd {
  public:
    WakeFd();
    ~WakeFd();
    WakeFd(const WakeFd&) = delete;
    WakeFd& operator=(const WakeFd&) = delete;

    // Makes the descriptor readable until the next drain().
    void wake();
    void drain();
    int fd() const { return fd_; }

  private:
    int fd_;
};

}  // namespace voicepipe::platform::linux_backend
