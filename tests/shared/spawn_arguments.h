// The null-terminated pointer lists that posix_spawn takes for argv and the environment.
#pragma once

#include <string>
#include <vector>

namespace test_support {

// Points into `strings`, which must outlive the result.
inline std::vector<char*> nullTerminatedPointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace test_support
