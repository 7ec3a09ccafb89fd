# libpng 1.6 with zlib, for the embedded picture: the target tarvex_png.
#
# Natively it is Debian's libpng-dev. For the Windows builds zlib comes from
# Debian's libz-mingw-w64-dev and libpng is compiled here, with our toolchain,
# from Debian's libpng1.6 source package, which scripts/setup unpacks outside
# the repository. Only reading is built: no writer, no stdio, no tests, no
# shared library.
if(NOT WIN32)
    find_package(PNG 1.6 REQUIRED)
    add_library(tarvex_png INTERFACE)
    target_link_libraries(tarvex_png INTERFACE PNG::PNG)
    return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/debian_source.cmake)
tarvex_debian_source(TARVEX_LIBPNG_SOURCE /usr/src/tarvex-libpng png.h)
set(ZLIB_USE_STATIC_LIBS ON) # the program needs no zlib DLL
find_package(ZLIB REQUIRED)

# The configuration header: the library's prebuilt one less what the tool never
# asks for. Writing, stdio and console output go; so do the ancillary chunks
# (they are skipped as unknown ones, with their checksums still checked),
# colour management and the transformations other than those imageFromMemory
# uses (expand, strip 16, grey to RGB, BGR order, interlace handling).
# Each name goes with its READ_ form and the features named after it.
set(tarvex_libpng_left_out
    WRITE SIMPLIFIED_WRITE CONVERT_tIME SAVE_INT_32 STDIO CONSOLE_IO SIMPLIFIED_READ
    PROGRESSIVE_READ INFO_IMAGE TEXT COMPRESSED_TEXT
    bKGD cHRM eXIf gAMA hIST iCCP iTXt oFFs pCAL pHYs sBIT sCAL sPLT sRGB tEXt tIME zTXt
    GAMMA COLORSPACE ALPHA_MODE BACKGROUND COMPOSITE_NODIV QUANTIZE RGB_TO_GRAY
    USER_TRANSFORM USER_CHUNKS UNKNOWN_CHUNKS HANDLE_AS_UNKNOWN SAVE_UNKNOWN_CHUNKS
    STORE_UNKNOWN_CHUNKS SET_UNKNOWN_CHUNKS EXPAND_16 SHIFT INVERT INVERT_ALPHA SWAP_ALPHA
    FILLER STRIP_ALPHA PACKSWAP SWAP SCALE_16_TO_8 MNG_FEATURES BUILD_GRAYSCALE_PALETTE)
list(JOIN tarvex_libpng_left_out "|" tarvex_libpng_left_out_pattern)
file(STRINGS ${TARVEX_LIBPNG_SOURCE}/scripts/pnglibconf.h.prebuilt tarvex_libpng_lines)
set(tarvex_libpng_config "")
foreach(line IN LISTS tarvex_libpng_lines)
    if(line MATCHES "^#define PNG_(READ_)?(${tarvex_libpng_left_out_pattern})(_[A-Za-z0-9_]+)?_SUPPORTED$")
        set(line "/* ${line} (left out) */")
    endif()
    string(APPEND tarvex_libpng_config "${line}\n")
endforeach()
set(tarvex_libpng_include ${CMAKE_BINARY_DIR}/libpng-config)
file(CONFIGURE OUTPUT ${tarvex_libpng_include}/pnglibconf.h CONTENT "${tarvex_libpng_config}"
     @ONLY)

set(tarvex_libpng_sources png.c pngerror.c pngget.c pngmem.c pngread.c pngrio.c pngrtran.c
    pngrutil.c pngset.c pngtrans.c)
list(TRANSFORM tarvex_libpng_sources PREPEND ${TARVEX_LIBPNG_SOURCE}/)
add_library(tarvex_png STATIC ${tarvex_libpng_sources})
target_include_directories(tarvex_png SYSTEM PUBLIC ${TARVEX_LIBPNG_SOURCE} ${tarvex_libpng_include})
target_compile_definitions(tarvex_png PRIVATE PNG_ARM_NEON_OPT=0 PNG_POWERPC_VSX_OPT=0
                                              PNG_INTEL_SSE_OPT=0 PNG_MIPS_MSA_OPT=0)
target_link_libraries(tarvex_png PUBLIC ZLIB::ZLIB)
# No C++ exception ever passes through libpng, so on i686 its code needs no
# unwind tables. On x86_64 they stay: there longjmp itself unwinds the frames
# it leaves, and libpng reports every error by longjmp.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_compile_options(tarvex_png PRIVATE -fno-asynchronous-unwind-tables -fno-unwind-tables)
endif()
