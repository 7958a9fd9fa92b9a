# The pack writer as a program of the build host, also in the cross build: an external project
# built with the host's compiler, without the sanitizers of the host build.
#   TARVIO_PACKWRITER                 path of the program
#   tarvio_pack(OUTPUT ARGS... DEPENDS files...)
#                                     a custom command that runs it (ARGS as packwriter takes them)
set(TARVIO_PACKWRITER ${CMAKE_BINARY_DIR}/tools/packwriter/packwriter)

function(tarvio_pack output)
  cmake_parse_arguments(A "" "" "ARGS;DEPENDS" ${ARGN})
  add_custom_command(OUTPUT ${output}
    COMMAND ${TARVIO_PACKWRITER} ${output} ${A_ARGS}
    DEPENDS ${TARVIO_PACKWRITER} packwriter_host ${A_DEPENDS}
    COMMENT "Packing ${output}"
    VERBATIM)
endfunction()

include_guard(GLOBAL)

include(ExternalProject)
if(CMAKE_CROSSCOMPILING)
  find_program(TARVIO_HOST_CXX NAMES c++ g++ REQUIRED)
else()
  set(TARVIO_HOST_CXX ${CMAKE_CXX_COMPILER})
endif()
ExternalProject_Add(packwriter_host
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/tools/packwriter
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${TARVIO_HOST_CXX} -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${TARVIO_PACKWRITER})
