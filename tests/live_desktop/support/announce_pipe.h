// A pipe whose writing end a service gets as a descriptor to print its address or display on.
#pragma once

#include <unistd.h>

#include <stdexcept>

namespace live_desktop {

struct AnnouncePipe {
    AnnouncePipe() {
        if (pipe(ends) != 0)
            throw std::runtime_error("pipe failed");
    }
    ~AnnouncePipe() {
        close(ends[0]);
        if (ends[1] >= 0)
            close(ends[1]);
    }
    void closeWritingEnd() {
        close(ends[1]);
        ends[1] = -1;
    }
    int ends[2];
};

}  // namespace live_desktop
