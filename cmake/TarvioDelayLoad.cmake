# System libraries that the programs import through their delay-load tables instead of at load time.
#
# Windows looks for a library that a program imports in the program's own folder first, unless it is
# one of the system's known libraries (or the manifest binds it): a file of that name saved beside
# the installer in a download folder would be loaded into it, elevated, before any of its code runs.
# These libraries are not known libraries on every supported Windows, so they are loaded on first use
# instead, from the system folder (the delay-load helper's hook in tarviolib/core/systemlibrary_win.cpp
# loads them from there).
#
# For each one an imported target of the same name (wininet, version, ...) stands for a delay-import
# library made from the toolchain's own import library, followed by that import library for anything
# that is not a function; the toolkit's "-lNAME" items are mapped to the targets in TarvioDeps.cmake.
include_guard(GLOBAL)

# NAME=FILE: the import library's name and the system library it imports from.
set(TARVIO_DELAY_LOADED version=version.dll uxtheme=uxtheme.dll winspool=winspool.drv oleacc=oleacc.dll
    wininet=wininet.dll winmm=winmm.dll winhttp=winhttp.dll)

find_program(TARVIO_DLLTOOL NAMES ${TARVIO_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(TARVIO_NM NAMES ${TARVIO_MINGW_TRIPLE}-nm REQUIRED)
find_program(TARVIO_OBJCOPY NAMES ${TARVIO_MINGW_TRIPLE}-objcopy REQUIRED)
if(TARVIO_MINGW_TRIPLE MATCHES "^i686")
  set(_tarvio_dlltool_machine i386)
  set(_tarvio_symbol_prefix "__imp__")
else()
  set(_tarvio_dlltool_machine i386:x86-64)
  set(_tarvio_symbol_prefix "__imp_")
endif()

set(_tarvio_delay_dir ${CMAKE_BINARY_DIR}/delayload)
file(MAKE_DIRECTORY ${_tarvio_delay_dir})
set(TARVIO_DELAY_LOADED_NAMES "")
foreach(entry IN LISTS TARVIO_DELAY_LOADED)
  string(REPLACE "=" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 dll)
  list(APPEND TARVIO_DELAY_LOADED_NAMES ${name})
  set(import_library /usr/${TARVIO_MINGW_TRIPLE}/lib/lib${name}.a)
  set(delay_library ${_tarvio_delay_dir}/lib${name}-delay.a)
  # Made again when the toolchain's import library or this recipe changes.
  if(NOT EXISTS ${delay_library} OR ${import_library} IS_NEWER_THAN ${delay_library}
     OR ${CMAKE_CURRENT_LIST_FILE} IS_NEWER_THAN ${delay_library})
    execute_process(COMMAND ${TARVIO_NM} --defined-only ${import_library}
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "Cannot read the symbols of ${import_library}")
    endif()
    # The import symbols name the functions as the compiler references them (Name@Bytes for the
    # 32-bit stdcall ones); dlltool --kill-at imports them by their plain names.
    string(REGEX MATCHALL " I ${_tarvio_symbol_prefix}[^\n]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I ${_tarvio_symbol_prefix}" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    # Made in a folder of its own and moved into place once marked: a configure stopped half-way
    # must not leave an unmarked library that is newer than its inputs, and so never made again.
    set(making ${_tarvio_delay_dir}/making)
    file(REMOVE_RECURSE ${making})
    file(MAKE_DIRECTORY ${making})
    file(WRITE ${making}/${name}.def "LIBRARY \"${dll}\"\nEXPORTS\n${exports}\n")
    # dlltool names the library's symbols after the output's path: a bare name keeps the build
    # folder out of them.
    execute_process(COMMAND ${TARVIO_DLLTOOL} -m ${_tarvio_dlltool_machine} --kill-at
                            --input-def ${name}.def --dllname ${dll} --output-delaylib lib${name}-delay.a
                    WORKING_DIRECTORY ${making} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "dlltool could not make the delay-import library of ${dll}")
    endif()
    # GNU ld's i386 emulation drops the code section of an import-library member whose jump stub
    # nobody calls, taking calls through __imp_ alone (functions declared DECLSPEC_IMPORT, as
    # uxtheme.h and wininet.h declare theirs) for a sign that the member's code is dead. In a
    # delay-import member that section also holds the thunk that the function's slot points at:
    # the slot was left holding 0, and the first call jumped there. The linker weighs code sections
    # only, so the members' code is marked read-only data; it still goes into .text with the rest
    # of the code (.text$* sorts there), and runs from there.
    execute_process(COMMAND ${TARVIO_OBJCOPY} --rename-section ".text=.text$delay,contents,alloc,load,readonly,data"
                            lib${name}-delay.a
                    WORKING_DIRECTORY ${making} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "objcopy could not mark the code of the delay-import library of ${dll}")
    endif()
    file(RENAME ${making}/lib${name}-delay.a ${delay_library})
    file(REMOVE_RECURSE ${making})
  endif()
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${delay_library}
                                           INTERFACE_LINK_LIBRARIES ${import_library})
endforeach()
