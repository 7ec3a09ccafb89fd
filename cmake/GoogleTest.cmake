# GoogleTest from Debian's source package, built with this project's toolchain
# (natively or for MinGW-w64). Nothing is downloaded.
set(TARVEX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT EXISTS ${TARVEX_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest source not found in ${TARVEX_GTEST_SOURCE}: run scripts/setup")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${TARVEX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
