// What the fuzz targets use to state what must hold: a broken property ends the run as a crash,
// which libFuzzer reports and saves the input for.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace fuzz
