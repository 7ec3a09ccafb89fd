// An object as cl and its headers leave it: the default library of the
// runtime option and, from C++ headers only, the RuntimeLibrary check.
#if defined(RUNTIME_MT)
#pragma comment(lib, "libcmt")
#pragma detect_mismatch("RuntimeLibrary", "MT_StaticRelease")
#elif defined(RUNTIME_MT_C)
#pragma comment(lib, "LIBCMT")
#elif defined(RUNTIME_MD)
#pragma comment(lib, "msvcrt")
#pragma detect_mismatch("RuntimeLibrary", "MD_DynamicRelease")
#elif defined(RUNTIME_MTD)
#pragma comment(lib, "LIBCMTD.lib")
#elif defined(RUNTIME_MDD_BIGOBJ)
#pragma comment(lib, "msvcrtd")
#pragma detect_mismatch("RuntimeLibrary", "MDd_DynamicDebug")
// More sections than a plain object can count make the assembler write a big one.
__asm__(".altmacro\n.macro piece n\n.section .t\\n,\"xr\"\n.byte 0\n.endm\n"
        "i = 0\n.rept 65300\npiece %i\ni = i + 1\n.endr");
#endif
#if !defined(RUNTIME_NONE)
#pragma comment(lib, "OLDNAMES")
#endif

// cl stamps every object with its product (0x104) and build; clang does not.
#define QUOTED(text) #text
#define STAMP(id) __asm__(".globl \"@comp.id\"\n.set \"@comp.id\", " QUOTED(id))
STAMP((0x104 << 16) + BUILD);

int answer = 42;
