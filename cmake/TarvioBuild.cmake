# Helpers shared by every folder of the tree.
#
# Each library exists in two flavours built from the same sources: NAME, linked into the product,
# and NAME_testing, compiled with TARVIO_TEST_SEAMS so that tests can reach roads the platform
# offers no other way to (a non-administrator token, a local web server). The host build, which
# only runs tests, has the testing flavour alone.

function(tarvio_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(TARVIO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

function(tarvio_common_settings target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
    target_link_options(${target} PUBLIC -static)
  endif()
  tarvio_warnings(${target})
endfunction()

# tarvio_sources(LIBRARY [PORTABLE files...] [WINDOWS files...] [HOST files...])
# PORTABLE sources build everywhere, WINDOWS ones only in the cross build, HOST ones only in the
# host build (portable stand-ins for a Win32 call).
function(tarvio_sources library)
  cmake_parse_arguments(A "" "" "PORTABLE;WINDOWS;HOST" ${ARGN})
  set(files ${A_PORTABLE})
  if(WIN32)
    list(APPEND files ${A_WINDOWS})
  else()
    list(APPEND files ${A_HOST})
  endif()
  list(TRANSFORM files PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  set_property(GLOBAL APPEND PROPERTY TARVIO_SOURCES_${library} ${files})
endfunction()

# tarvio_library(NAME [DEPENDS libraries...] [LIBS external targets...])
# One library per layer folder, called by the folder once it has added its sources. DEPENDS names
# the project's lower layers it uses (each flavour links the same flavour of them), LIBS external
# and system libraries. A layer with no sources in this build (a Windows-only layer in the host
# build) is an interface library that still carries its dependencies. A folder whose sources
# include third-party headers adds their directory with
#   set_property(GLOBAL APPEND PROPERTY TARVIO_INCLUDES_NAME dir)
# private to the library and marked SYSTEM, so that our warning flags do not apply to them.
function(tarvio_library name)
  cmake_parse_arguments(A "" "" "DEPENDS;LIBS" ${ARGN})
  get_property(files GLOBAL PROPERTY TARVIO_SOURCES_${name})
  get_property(includes GLOBAL PROPERTY TARVIO_INCLUDES_${name})
  set(flavours _testing)
  if(WIN32)
    list(APPEND flavours "")
  endif()
  foreach(flavour IN LISTS flavours)
    set(target ${name}${flavour})
    if(NOT files)
      add_library(${target} INTERFACE)
      foreach(dependency IN LISTS A_DEPENDS)
        target_link_libraries(${target} INTERFACE ${dependency}${flavour})
      endforeach()
      continue()
    endif()
    add_library(${target} STATIC ${files})
    tarvio_common_settings(${target})
    if(includes)
      target_include_directories(${target} SYSTEM PRIVATE ${includes})
    endif()
    foreach(dependency IN LISTS A_DEPENDS)
      target_link_libraries(${target} PUBLIC ${dependency}${flavour})
    endforeach()
    target_link_libraries(${target} PUBLIC ${A_LIBS})
    if(flavour STREQUAL "_testing")
      target_compile_definitions(${target} PUBLIC TARVIO_TEST_SEAMS=1)
    endif()
  endforeach()
endfunction()

# tarvio_test(NAME [PORTABLE files...] [WINDOWS files...] LIBS targets...)
# One test executable, and one CTest entry, per call: a process start under Wine is slow. LIBS
# names the layers under test (their _testing flavour) and the test helpers it uses.
# OWN_DESKTOP: the Windows program runs in a copy of a clean prefix of its own, whose desktop (foreground
# window, LogPixels) no test running beside it can take or change.
function(tarvio_test name)
  cmake_parse_arguments(A "OWN_DESKTOP" "" "PORTABLE;WINDOWS;LIBS" ${ARGN})
  set(files ${A_PORTABLE})
  if(WIN32)
    list(APPEND files ${A_WINDOWS})
  endif()
  if(NOT files)
    return()
  endif()
  add_executable(${name} ${files})
  tarvio_common_settings(${name})
  if(NOT A_LIBS)
    message(FATAL_ERROR "tarvio_test(${name}): name the libraries it tests with LIBS")
  endif()
  target_link_libraries(${name} PRIVATE ${A_LIBS} ${TARVIO_GTEST_MAIN})
  if(A_OWN_DESKTOP AND WIN32)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME ${name} COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/endtoend/in_clean_prefix.py
                                  --whole $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# tarvio_built_programs(OUT): the executables and libraries (DLLs) that the default build makes in
# the whole tree, for the tests that read every built program's files.
function(tarvio_built_programs out)
  set(programs "")
  set(folders ${PROJECT_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(excluded DIRECTORY ${folder} PROPERTY EXCLUDE_FROM_ALL)
    if(excluded)
      continue()
    endif()
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      get_target_property(excluded ${target} EXCLUDE_FROM_ALL)
      if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$" AND NOT excluded)
        list(APPEND programs ${target})
      endif()
    endforeach()
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
  endwhile()
  set(${out} ${programs} PARENT_SCOPE)
endfunction()
