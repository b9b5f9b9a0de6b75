// The check's own test: with MISUSE_UNAVAILABLE_IN_LIBCXX this calls what Apple's libc++ lacks at
// macOS 13.0 and must not compile; without it, it must.
#include <charconv>

// Apple's libc++ has floating-point std::to_chars only from macOS 13.3 on.
char* writeNumber(char* begin, char* end) {
#if defined(MISUSE_UNAVAILABLE_IN_LIBCXX)
    return std::to_chars(begin, end, 0.5).ptr;
#else
    return std::to_chars(begin, end, 5).ptr;
#endif
}
