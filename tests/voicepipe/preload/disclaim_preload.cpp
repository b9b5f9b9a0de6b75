// A stand-in for the platform's disclaim function, preloaded into voicepipe by its relaunch tests
// so that the relaunch takes place on Linux too. It accepts every request.
#include <spawn.h>

extern "C" int responsibility_spawnattrs_setdisclaim(posix_spawnattr_t*, bool) {
    return 0;
}
