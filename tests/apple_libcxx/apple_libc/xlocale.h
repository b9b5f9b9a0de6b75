// <xlocale.h>: the C library's locale-taking variants that macOS declares beside <locale.h>, as far
// as libc++'s headers (built for Apple) and the portable sources use them. glibc already declares
// locale_t, newlocale, strtod_l and the ctype *_l functions; the printf family's variants are
// Apple's alone.
#pragma once

#include <ctype.h>
#include <locale.h>
#include <stddef.h>
#include <stdlib.h>

// glibc also defines these as macros that read through the locale, while Apple's functions take 0
// for the C locale, as libc++ passes it: use the functions.
#undef isdigit_l
#undef isxdigit_l

#ifdef __cplusplus
extern "C" {
#endif

int snprintf_l(char* buffer, size_t size, locale_t locale, const char* format, ...);
int sscanf_l(const char* text, locale_t locale, const char* format, ...);
int asprintf_l(char** result, locale_t locale, const char* format, ...);

#ifdef __cplusplus
}
#endif
