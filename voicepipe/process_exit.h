// How the dictation process and the relaunching parent end.
#pragma once

namespace voicepipe {

// Flushes standard output and ends the process at once. Other threads (audio capture, the
// standard-input watcher, permission answers, signal relays) may still be running, so no exit
// handlers or static destructors may run under them.
[[noreturn]] void exitProcess(int status);

}  // namespace voicepipe
