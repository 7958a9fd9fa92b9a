# Cross toolchain for building the dependency prefix. The target triple and the prefix come
# from the environment because try_compile() projects do not inherit cache variables.
set(CMAKE_SYSTEM_NAME Windows)
set(_host $ENV{TARVIO_DEPS_HOST})
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${_host}")

set(CMAKE_C_COMPILER ${_host}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_host}-g++-posix)
set(CMAKE_RC_COMPILER ${_host}-windres)
# The "-posix" suffix hides the tool prefix from CMake's own guess.
set(CMAKE_AR ${_host}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_host}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${_host} $ENV{TARVIO_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
