# Imported targets for the static dependencies cross-built by scripts/setup.sh into
# TARVIO_DEPS_PREFIX:
#   Tarvio::wx            wxWidgets core, base, net (and png, jpeg, tiff, zlib, system libs)
#   Tarvio::tiff          libtiff (jpeg, zlib)
#   Tarvio::png, Tarvio::jpeg, Tarvio::zlib
#   Tarvio::openexr       OpenEXR with Imath, IlmThread, Iex (adds -Wno-attributes)
#   Tarvio::imath
#   Tarvio::gtest         GoogleTest and GoogleMock with main()
#   Tarvio::gtest_nomain  the same without main(), for a test that brings its own
# Executables still choose their own subsystem (WIN32_EXECUTABLE) and -static.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/TarvioDelayLoad.cmake)

if(NOT TARVIO_DEPS_PREFIX OR NOT EXISTS "${TARVIO_DEPS_PREFIX}/.complete")
  message(FATAL_ERROR "TARVIO_DEPS_PREFIX='${TARVIO_DEPS_PREFIX}' is not a finished dependency "
                      "prefix: use the path printed by scripts/setup.sh --print-prefix")
endif()
set(_tarvio_lib "${TARVIO_DEPS_PREFIX}/lib")
set(_tarvio_inc "${TARVIO_DEPS_PREFIX}/include")

# _tarvio_import(NAME GLOB [DEPENDENCIES...]): one static archive, matched by a glob so that
# library version suffixes (OpenEXR's -3_1) need no upkeep here.
function(_tarvio_import name pattern)
  file(GLOB file "${pattern}")
  list(LENGTH file count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "Expected one file for Tarvio::${name} matching ${pattern}, found '${file}'")
  endif()
  add_library(Tarvio::${name} STATIC IMPORTED GLOBAL)
  set_target_properties(Tarvio::${name} PROPERTIES
    IMPORTED_LOCATION "${file}"
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

# The sysroot's zlib headers are on the compiler's default path; its DLL import library sits
# beside libz.a, so the archive is named in full.
_tarvio_import(zlib /usr/${TARVIO_MINGW_TRIPLE}/lib/libz.a)
_tarvio_import(png "${_tarvio_lib}/libpng16.a" Tarvio::zlib)
_tarvio_import(jpeg "${_tarvio_lib}/libjpeg.a")
_tarvio_import(tiff "${_tarvio_lib}/libtiff.a" Tarvio::jpeg Tarvio::zlib)
foreach(name png jpeg tiff)
  set_target_properties(Tarvio::${name} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${_tarvio_inc}")
endforeach()

_tarvio_import(imath "${_tarvio_lib}/libImath-*.a")
set_target_properties(Tarvio::imath PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${_tarvio_inc};${_tarvio_inc}/Imath")
_tarvio_import(openexr_iex "${_tarvio_lib}/libIex-*.a")
_tarvio_import(openexr_thread "${_tarvio_lib}/libIlmThread-*.a" Tarvio::openexr_iex)
_tarvio_import(openexr_core "${_tarvio_lib}/libOpenEXRCore-*.a" Tarvio::zlib)
_tarvio_import(openexr_lib "${_tarvio_lib}/libOpenEXR-*.a"
  Tarvio::openexr_thread Tarvio::openexr_iex Tarvio::openexr_core Tarvio::imath Tarvio::zlib)
_tarvio_import(openexr_util "${_tarvio_lib}/libOpenEXRUtil-*.a" Tarvio::openexr_lib)
add_library(Tarvio::openexr INTERFACE IMPORTED GLOBAL)
# Its headers ask for visibility attributes, which MinGW does not support.
set_target_properties(Tarvio::openexr PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${_tarvio_inc}/OpenEXR"
  INTERFACE_COMPILE_OPTIONS "-Wno-attributes"
  INTERFACE_LINK_LIBRARIES "Tarvio::openexr_util;Tarvio::imath")

_tarvio_import(gtest_lib "${_tarvio_lib}/libgtest.a")
set_target_properties(Tarvio::gtest_lib PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${_tarvio_inc}")
_tarvio_import(gmock_lib "${_tarvio_lib}/libgmock.a" Tarvio::gtest_lib)
_tarvio_import(gmock_main "${_tarvio_lib}/libgmock_main.a" Tarvio::gmock_lib)
add_library(Tarvio::gtest_nomain INTERFACE IMPORTED GLOBAL)
set_target_properties(Tarvio::gtest_nomain PROPERTIES INTERFACE_LINK_LIBRARIES Tarvio::gmock_lib)
add_library(Tarvio::gtest INTERFACE IMPORTED GLOBAL)
set_target_properties(Tarvio::gtest PROPERTIES INTERFACE_LINK_LIBRARIES Tarvio::gmock_main)

# wxWidgets: wx-config's answer, read once at configure time.
function(_tarvio_wx_config out)
  execute_process(
    COMMAND sh "${TARVIO_DEPS_PREFIX}/bin/wx-config" --static ${ARGN}
    OUTPUT_VARIABLE text ERROR_VARIABLE error RESULT_VARIABLE result
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "wx-config ${ARGN} failed: ${error}")
  endif()
  separate_arguments(text UNIX_COMMAND "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

_tarvio_wx_config(_tarvio_wx_cxxflags --cxxflags)
_tarvio_wx_config(_tarvio_wx_libs --libs core,base,net)
set(_tarvio_wx_includes "")
set(_tarvio_wx_defines "")
set(_tarvio_wx_options "")
foreach(flag IN LISTS _tarvio_wx_cxxflags)
  if(flag MATCHES "^-I(.+)")
    list(APPEND _tarvio_wx_includes "${CMAKE_MATCH_1}")
  elseif(flag MATCHES "^-D(.+)")
    list(APPEND _tarvio_wx_defines "${CMAKE_MATCH_1}")
  else()
    list(APPEND _tarvio_wx_options "${flag}")
  endif()
endforeach()
# wx-config's order is the static link order. The image libraries become the targets above
# (which carry their own dependencies); the GUI-subsystem flags are left to each executable.
set(_tarvio_wx_link "")
foreach(item IN LISTS _tarvio_wx_libs)
  if(item MATCHES "^-L" OR item STREQUAL "-mwindows" OR item MATCHES "^-Wl,--subsystem,")
    continue()
  elseif(item MATCHES "^-l(png|jpeg|tiff|z)$")
    set(name "${CMAKE_MATCH_1}")
    if(name STREQUAL "z")
      set(name zlib)
    endif()
    list(APPEND _tarvio_wx_link Tarvio::${name})
  elseif(item MATCHES "^-l(.+)")
    set(file "${_tarvio_lib}/lib${CMAKE_MATCH_1}.a")
    if(CMAKE_MATCH_1 IN_LIST TARVIO_DELAY_LOADED_NAMES)
      list(APPEND _tarvio_wx_link ${CMAKE_MATCH_1})
    elseif(EXISTS "${file}")
      list(APPEND _tarvio_wx_link "${file}")
    else()
      list(APPEND _tarvio_wx_link "${item}")
    endif()
  else()
    list(APPEND _tarvio_wx_link "${item}")
  endif()
endforeach()
# CMake reorders plain archives on an interface library's link line, so each wx archive becomes
# a target that depends on everything after it: the image libraries then always follow wx core.
list(REVERSE _tarvio_wx_link)
set(_tarvio_wx_rest "")
foreach(item IN LISTS _tarvio_wx_link)
  if(item MATCHES "/lib(wx[a-z_]+)[^/]*\\.a$")
    set(name Tarvio::${CMAKE_MATCH_1})
    add_library(${name} STATIC IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES
      IMPORTED_LOCATION "${item}"
      INTERFACE_LINK_LIBRARIES "${_tarvio_wx_rest}")
    set(item ${name})
  endif()
  list(PREPEND _tarvio_wx_rest "${item}")
endforeach()
add_library(Tarvio::wx INTERFACE IMPORTED GLOBAL)
set_target_properties(Tarvio::wx PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${_tarvio_wx_includes}"
  INTERFACE_COMPILE_DEFINITIONS "${_tarvio_wx_defines}"
  INTERFACE_COMPILE_OPTIONS "${_tarvio_wx_options}"
  INTERFACE_LINK_LIBRARIES "${_tarvio_wx_rest}")
