# Libraries that Windows does not list as known DLLs are found by the loader's search, which
# starts in the folder of the program: an elevated program started from a downloads folder
# would load whatever version.dll a web page put beside it, before our first line runs.
# Such libraries are linked delay-loaded instead: the first call loads them, by then the
# program has restricted the search to the system folder (platform/dll_search.h).
#
# tarvo_delay_import(NAME) makes the target delay_NAME, which stands in for NAME in
# target_link_libraries. Its import library is made from MinGW's own one by dlltool.
find_program(TARVO_NM ${TARGET_TRIPLE}-nm REQUIRED)
find_program(TARVO_DLLTOOL ${TARGET_TRIPLE}-dlltool REQUIRED)
# Per architecture: a build tree may be configured again for the other one.
set(TARVO_DELAY_DIR ${CMAKE_BINARY_DIR}/delayimp-${CMAKE_SYSTEM_PROCESSOR})

function(tarvo_delay_import name)
  set(source /usr/${TARGET_TRIPLE}/lib/lib${name}.a)
  set(def ${TARVO_DELAY_DIR}/${name}.def)
  set(lib ${TARVO_DELAY_DIR}/lib${name}_delay.a)
  if(NOT EXISTS ${lib} OR ${source} IS_NEWER_THAN ${lib})
    file(MAKE_DIRECTORY ${TARVO_DELAY_DIR})
    execute_process(COMMAND ${TARVO_NM} ${source} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
      message(FATAL_ERROR "Cannot read ${source}")
    endif()
    # "__imp__Name@8" is the import of Name@8; -k below drops the "@8" from the name the
    # library exports, as Windows' own libraries have it.
    # 64-bit names carry no leading underscore of their own: "__imp_Name".
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      set(prefix "__imp_")
    else()
      set(prefix "__imp__")
    endif()
    string(REGEX MATCHALL "I ${prefix}[^\r\n]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE "^I ${prefix}" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(WRITE ${def} "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${TARVO_DLLTOOL} -k --input-def ${def} --output-delaylib ${lib}
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "dlltool could not make ${lib}")
    endif()
  endif()
  add_library(delay_${name} INTERFACE)
  target_link_libraries(delay_${name} INTERFACE ${lib} delayimp)
endfunction()

foreach(name version wininet crypt32 comctl32)
  tarvo_delay_import(${name})
endforeach()
