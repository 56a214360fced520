# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's hardening flags, as its own packages are built: fortified libc calls, the stack
# protector (and, where the release has it, stack clash and control-flow protection), read-only
# relocations bound at start-up, and position-independent programs. dpkg-buildflags says which
# flags the installed release uses; its optimisation and debugging flags are left to the build
# type. Sanitizer builds go without: their run-time replaces the fortified calls.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(STATUS "Hardening: dpkg-buildflags not found, building without Debian's hardening flags")
  return()
endif()

function(lindora_buildflags kind out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${DPKG_BUILDFLAGS} --get ${kind}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE flags
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

lindora_buildflags(CPPFLAGS preprocessor)
lindora_buildflags(CXXFLAGS compiler)
lindora_buildflags(LDFLAGS linker)
# Fortified calls need the optimiser; glibc warns about them in an unoptimised build.
set(fortify ${preprocessor})
list(FILTER fortify INCLUDE REGEX "^-D_FORTIFY_SOURCE=")
list(FILTER preprocessor EXCLUDE REGEX "^-D_FORTIFY_SOURCE=")
foreach(definition ${fortify})
  string(REPLACE "-D" "" definition "${definition}")
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:${definition}>)
endforeach()
add_compile_options(${preprocessor} ${compiler})
add_link_options(${linker})

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
string(JOIN " " shown ${fortify} ${preprocessor} ${compiler} ${linker})
message(STATUS "Hardening: ${shown}, PIE")
