#include "process_exit.h"

#include <unistd.h>

#include <cstdio>

namespace voicepipe {

void exitProcess(int status) {
    std::fflush(stdout);
    _exit(status);
}

}  // namespace voicepipe
