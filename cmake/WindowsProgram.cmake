# Windows programs built with Debian's MinGW-w64 cross compiler (g++-mingw-w64-x86-64), for the
# suite's installations whose programs run under Wine. Without the compiler they are left out and
# the rest of the build goes on.
#
#   tevo_windows_program(TARGET OUTPUT file.exe SOURCES source... [HEADERS header...]
#                        [INCLUDE_DIRS folder...] [GUI])
#       A target of the default build that compiles the sources (relative to the current source
#       folder) into OUTPUT, 64-bit, statically linked (the program needs no DLL of MinGW's in
#       the Wine prefix), stripped, with wmain (or wWinMain with GUI, which also makes it a
#       program without a console). Headers are found in INCLUDE_DIRS and the current source and
#       binary folders; HEADERS (absolute, or relative to the source folder) rebuild the program
#       when they change.
#
# TEVO_WINDOWS_PROGRAMS is true when the compiler was found.

find_program(TEVO_MINGW_CXX x86_64-w64-mingw32-g++
  DOC "MinGW-w64 C++ compiler for the Windows programs used under Wine")
if(TEVO_MINGW_CXX)
  set(TEVO_WINDOWS_PROGRAMS TRUE)
else()
  set(TEVO_WINDOWS_PROGRAMS FALSE)
  message(STATUS "x86_64-w64-mingw32-g++ not found (Debian package g++-mingw-w64-x86-64): "
                 "the Windows programs for Wine installations are not built")
endif()

function(tevo_windows_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "GUI" "OUTPUT" "SOURCES;HEADERS;INCLUDE_DIRS")
  if(NOT TEVO_WINDOWS_PROGRAMS)
    return()
  endif()
  set(flags -std=c++20 -O2 -Wall -Wextra -static -s -municode)
  if(arg_GUI)
    list(APPEND flags -mwindows)
  endif()
  foreach(folder ${arg_INCLUDE_DIRS})
    list(APPEND flags -I${folder})
  endforeach()
  set(sources)
  foreach(source ${arg_SOURCES})
    list(APPEND sources ${CMAKE_CURRENT_SOURCE_DIR}/${source})
  endforeach()
  set(headers)
  foreach(header ${arg_HEADERS})
    get_filename_component(header ${header} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND headers ${header})
  endforeach()
  get_filename_component(folder ${arg_OUTPUT} DIRECTORY)
  add_custom_command(OUTPUT ${arg_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${TEVO_MINGW_CXX} ${flags} -I${CMAKE_CURRENT_SOURCE_DIR}
      -I${CMAKE_CURRENT_BINARY_DIR} -o ${arg_OUTPUT} ${sources}
    DEPENDS ${sources} ${headers}
    COMMENT "Building the Windows program ${target}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${arg_OUTPUT})
endfunction()
