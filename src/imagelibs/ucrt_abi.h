/* Force-included into every file of the UCRT image libraries. Wine's
 * Microsoft-ABI headers stand in for Visual C++'s; where they differ from
 * what Visual C++ and the Universal C Runtime do, this header mends it, and
 * the asserts stop the build if a type that crosses the library's interface
 * ever has another size than Visual C++ gives it. */
#ifndef TARVEX_UCRT_ABI_H
#define TARVEX_UCRT_ABI_H

#ifndef _WIN64
/* Wine's headers force a 32-bit time_t on x86; Visual C++ and the UCRT use
 * 64 bits unless a program asks for _USE_32BIT_TIME_T. Declared before
 * corecrt.h, which then keeps it; its 32-bit switch is taken back so that
 * time.h maps time() and friends to their 64-bit exports. */
typedef __int64 time_t;
#define _TIME_T_DEFINED
#include <corecrt.h>
#undef _USE_32BIT_TIME_T
#endif

#include <setjmp.h>
#include <stddef.h>
#include <time.h>

/* The UCRT exports getenv_s, which Wine 8's stdlib.h does not declare. */
int __cdecl getenv_s(size_t* size, char* buffer, size_t count, const char* name);

_Static_assert(sizeof(time_t) == 8, "time_t must be 64 bits, as in Visual C++");
_Static_assert(sizeof(long) == 4, "long must be 32 bits, as in Visual C++");
_Static_assert(sizeof(wchar_t) == 2, "wchar_t must be 16 bits, as in Visual C++");
#ifdef _WIN64
_Static_assert(sizeof(jmp_buf) == 256, "jmp_buf must match Visual C++'s x64 layout");
#else
_Static_assert(sizeof(jmp_buf) == 64, "jmp_buf must match Visual C++'s x86 layout");
#endif

#endif
