# The program's layers: which folders of src/ form a layer and which layers it may use.
#
#   tevo_layer(NAME FOLDERS folder... [USES layer...])
#       Declares a layer. A folder is a path below src/ ("shell/window") or one file
#       ("main.cpp"); a file belongs to the layer of the longest folder that holds it. A layer
#       may include headers of its own folders and of every layer it uses, directly or through
#       the layers those use. Declare the layers from the bottom up.
#   tevo_layer_sources(VAR layer...)
#       The .cpp and .h files directly in the folders of the layers (not in their subfolders).
#   tevo_layer_check(TARGET)
#       A target of the default build that fails when a file includes a header of a layer its
#       own layer does not use; the same check runs as the test "layering".

function(tevo_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "FOLDERS;USES")
  set(allowed ${name})
  foreach(used ${arg_USES})
    get_property(known GLOBAL PROPERTY TEVO_LAYER_${used}_ALLOWED SET)
    if(NOT known)
      message(FATAL_ERROR "layer ${name} uses ${used}, which is not declared before it")
    endif()
    get_property(used_allowed GLOBAL PROPERTY TEVO_LAYER_${used}_ALLOWED)
    list(APPEND allowed ${used_allowed})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL APPEND PROPERTY TEVO_LAYERS ${name})
  set_property(GLOBAL PROPERTY TEVO_LAYER_${name}_FOLDERS ${arg_FOLDERS})
  set_property(GLOBAL PROPERTY TEVO_LAYER_${name}_ALLOWED ${allowed})
endfunction()

function(tevo_layer_sources var)
  set(sources)
  foreach(layer ${ARGN})
    get_property(folders GLOBAL PROPERTY TEVO_LAYER_${layer}_FOLDERS)
    foreach(folder ${folders})
      file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
           ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
      list(APPEND sources ${found})
    endforeach()
  endforeach()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

function(tevo_layer_check target)
  set(table ${CMAKE_CURRENT_BINARY_DIR}/layers.cmake)
  set(content "# Generated from src/CMakeLists.txt: the layer table.\n")
  get_property(layers GLOBAL PROPERTY TEVO_LAYERS)
  string(APPEND content "set(TEVO_LAYERS \"${layers}\")\n")
  set(checked)
  foreach(layer ${layers})
    get_property(folders GLOBAL PROPERTY TEVO_LAYER_${layer}_FOLDERS)
    get_property(allowed GLOBAL PROPERTY TEVO_LAYER_${layer}_ALLOWED)
    string(APPEND content "set(TEVO_LAYER_${layer}_FOLDERS \"${folders}\")\n")
    string(APPEND content "set(TEVO_LAYER_${layer}_ALLOWED \"${allowed}\")\n")
    foreach(folder ${folders})
      if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
        file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
             ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
      else()
        set(found ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
      endif()
      list(APPEND checked ${found})
    endforeach()
  endforeach()
  file(CONFIGURE OUTPUT ${table} CONTENT "${content}")

  set(script ${PROJECT_SOURCE_DIR}/cmake/CheckLayering.cmake)
  set(command ${CMAKE_COMMAND} -DTEVO_SOURCE_ROOT=${CMAKE_CURRENT_SOURCE_DIR}
              -DTEVO_LAYER_TABLE=${table} -P ${script})
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/layering.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${command}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${script} ${table} ${checked}
    COMMENT "Checking that includes follow the layers")
  add_custom_target(${target} ALL DEPENDS ${stamp})
  if(TEVO_BUILD_TESTS)
    add_test(NAME layering COMMAND ${command})
    set_tests_properties(layering PROPERTIES LABELS unit)
  endif()
endfunction()
