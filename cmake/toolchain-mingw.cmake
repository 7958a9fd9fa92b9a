# Cross build for Windows with the posix-threads MinGW-w64 compilers of TARVIO_MINGW_TRIPLE, which
# the including toolchain file sets: toolchain-mingw32.cmake (the product, i686) or
# toolchain-mingw64.cmake (x86_64, for running the tests where 32-bit programs cannot run).
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${TARVIO_MINGW_TRIPLE}")

set(CMAKE_C_COMPILER ${TARVIO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVIO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVIO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVIO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables run through the project's Wine prefix, their output copied through a file.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh)
