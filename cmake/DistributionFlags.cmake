# Debian's compiler and linker flags, from dpkg-buildflags: format checks, fortified C library
# calls, the strong stack protector, read-only relocations and immediate binding (PIE is the
# compiler's own default on Debian). The build type's flags follow them on the command line, so
# its optimisation level wins.
#
# DEB_BUILD_MAINT_OPTIONS from the environment chooses the features, as in any Debian build;
# without it all hardening features are on (Debian's defaults leave out bind-now), and the
# source path is not rewritten in debug information, so that debuggers and the compiler cache
# see the build as before. scripts/package.sh sets it for the package.
find_program(TEVO_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT TEVO_DPKG_BUILDFLAGS)
  message(FATAL_ERROR "dpkg-buildflags is missing (Debian package dpkg-dev, which scripts/setup.sh "
                      "installs); or configure with -DTEVO_DISTRIBUTION_FLAGS=OFF")
endif()

if(DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
  set(tevo_maint_options "$ENV{DEB_BUILD_MAINT_OPTIONS}")
else()
  set(tevo_maint_options "hardening=+all reproducible=-fixfilepath,-fixdebugpath")
endif()
# Fortified calls need optimisation: an unoptimised build asks for none (noopt drops them).
set(tevo_build_options "$ENV{DEB_BUILD_OPTIONS}")
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  string(APPEND tevo_build_options " noopt")
endif()

foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=${tevo_maint_options}"
            "DEB_BUILD_OPTIONS=${tevo_build_options}" ${TEVO_DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE tevo_dpkg_${kind}
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()

string(PREPEND CMAKE_CXX_FLAGS "${tevo_dpkg_CPPFLAGS} ${tevo_dpkg_CXXFLAGS} ")
foreach(kind EXE SHARED MODULE)
  string(PREPEND CMAKE_${kind}_LINKER_FLAGS "${tevo_dpkg_LDFLAGS} ")
endforeach()
message(STATUS "Distribution flags (${tevo_maint_options}): ${tevo_dpkg_CPPFLAGS} "
               "${tevo_dpkg_CXXFLAGS}; linker: ${tevo_dpkg_LDFLAGS}")
