# Checks every source file below TEVO_SOURCE_ROOT against the layer table TEVO_LAYER_TABLE
# (written by tevo_layer_check): an #include "folder/File.h" must name a header of the file's
# own layer or of a layer it uses. Headers outside the layers (generated files, Qt, the system)
# are not checked. Lists every crossing it finds, then fails.
#
#   cmake -DTEVO_SOURCE_ROOT=src -DTEVO_LAYER_TABLE=build/src/layers.cmake -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)
include(${TEVO_LAYER_TABLE})

# The layer of a path below the source root: that of the longest folder holding it, or empty.
function(layer_of path out)
  set(best "")
  set(best_length 0)
  foreach(layer ${TEVO_LAYERS})
    foreach(folder ${TEVO_LAYER_${layer}_FOLDERS})
      string(LENGTH "${folder}" length)
      if(path STREQUAL folder OR path MATCHES "^${folder}/")
        if(length GREATER best_length)
          set(best ${layer})
          set(best_length ${length})
        endif()
      endif()
    endforeach()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE ${TEVO_SOURCE_ROOT} ${TEVO_SOURCE_ROOT}/*.cpp ${TEVO_SOURCE_ROOT}/*.h)
set(crossings 0)
foreach(file ${files})
  layer_of(${file} own)
  if(own STREQUAL "")
    continue()
  endif()
  file(STRINGS ${TEVO_SOURCE_ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    layer_of(${header} target)
    if(target STREQUAL "" OR target IN_LIST TEVO_LAYER_${own}_ALLOWED)
      continue()
    endif()
    message(SEND_ERROR "${file} (layer ${own}) includes ${header} of layer ${target}, "
                       "which ${own} does not use")
    math(EXPR crossings "${crossings} + 1")
  endforeach()
endforeach()
if(crossings GREATER 0)
  message(FATAL_ERROR "${crossings} include(s) cross the layers the wrong way; see src/CMakeLists.txt")
endif()
