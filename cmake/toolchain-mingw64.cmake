# The same sources for 64-bit Windows: the tests' build on machines that cannot run 32-bit programs.
set(TARVIO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
