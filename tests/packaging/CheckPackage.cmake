# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package into a scratch folder from the build's CPack configuration, then
# checks its control fields and contents, unpacks it and checks that the manual pages render and
# the menu entry and the AppStream description validate. For a build that is shipped (SHIPPED),
# also that every program is hardened as Debian's own are and that lintian, pedantic, finds
# nothing worse than information and nothing about hardening.
function(Expect text)
  if(NOT (${ARGN}))
    message(FATAL_ERROR "${text}")
  endif()
endfunction()

function(Run out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE stdout
                  ERROR_VARIABLE stderr)
  string(REPLACE ";" " " command "${ARGN}")
  Expect("${command} failed (${code}):\n${stdout}${stderr}" code EQUAL 0)
  set(${out} "${stdout}" PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/ValidateMetainfo.cmake)

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
Run(ignored cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${SCRATCH}")
file(GLOB debs "${SCRATCH}/lindora_${VERSION}_*.deb")
list(LENGTH debs count)
Expect("cpack wrote ${count} packages named lindora_${VERSION}_ARCH.deb" count EQUAL 1)

foreach(field_value "Package=lindora" "Version=${VERSION}" "Section=games")
  string(REPLACE "=" ";" pair "${field_value}")
  list(GET pair 0 field)
  list(GET pair 1 value)
  Run(got dpkg-deb -f "${debs}" ${field})
  string(STRIP "${got}" got)
  Expect("${field} is \"${got}\", not ${value}" got STREQUAL value)
endforeach()
Run(depends dpkg-deb -f "${debs}" Depends)
Expect("the dependencies were not read from the binaries: ${depends}"
       depends MATCHES "libc6" AND depends MATCHES "libqt6widgets6")
Run(maintainer dpkg-deb -f "${debs}" Maintainer)
Expect("no maintainer with an address: ${maintainer}" maintainer MATCHES "<.+@.+>")
Run(description dpkg-deb -f "${debs}" Description)
Expect("no long description: ${description}" description MATCHES "\n .*Gomoku tournament")

Run(listing dpkg-deb -c "${debs}")
set(expected usr/bin/lindora usr/bin/pbrain-lindora usr/bin/lindora-cli usr/bin/lindora-match
             usr/share/applications/lindora.desktop usr/share/doc/lindora/copyright
             usr/share/metainfo/org.lindora.lindora.metainfo.xml)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/lindora.png)
endforeach()
set(programs lindora pbrain-lindora lindora-cli lindora-match)
foreach(program ${programs})
  list(APPEND expected usr/share/man/man6/${program}.6.gz)
endforeach()
foreach(path ${expected})
  string(FIND "${listing}" " ./${path}\n" at)
  Expect("the package holds no ${path}:\n${listing}" at GREATER -1)
endforeach()

set(root "${SCRATCH}/root")
Run(ignored dpkg -x "${debs}" "${root}")
foreach(program ${programs})
  Run(page env MANWIDTH=80 man -l "${root}/usr/share/man/man6/${program}.6.gz")
  Expect("man shows no page for ${program}:\n${page}" page MATCHES "NAME\n +${program} ")
endforeach()
file(STRINGS "${root}/usr/share/applications/lindora.desktop" exec REGEX "^Exec=")
Expect("the menu entry starts ${exec}" exec STREQUAL "Exec=/usr/bin/lindora")
Run(ignored desktop-file-validate "${root}/usr/share/applications/lindora.desktop")
ValidateMetainfo("${root}/usr/share/metainfo/org.lindora.lindora.metainfo.xml" "${HOMEPAGE}")

Run(copyright cat "${root}/usr/share/doc/lindora/copyright")
Expect("the copyright file names no GPL-3+ licence:\n${copyright}"
       copyright MATCHES "\nLicense: GPL-3\\+\n" AND copyright MATCHES "common-licenses/GPL-3")

# What readelf shows of each program: a position-independent executable, read-only relocations
# bound at start-up, the stack protector and fortified libc calls, and no compiler notes.
function(ExpectHardened program)
  get_filename_component(name "${program}" NAME)
  Run(header readelf -h -W "${program}")
  Run(dynamic readelf -d -W "${program}")
  Run(segments readelf -l -W "${program}")
  Run(sections readelf -S -W "${program}")
  Run(symbols readelf --dyn-syms -W "${program}")
  Expect("${name} is not position-independent" header MATCHES "Type: +DYN" AND
         dynamic MATCHES "FLAGS_1[^\n]*PIE")
  Expect("${name} has no read-only relocations" segments MATCHES "GNU_RELRO")
  Expect("${name} does not bind at start-up" dynamic MATCHES "BIND_NOW|FLAGS_1[^\n]* NOW")
  Expect("${name} has no stack protector" symbols MATCHES "__stack_chk_fail")
  Expect("${name} calls no fortified libc functions" symbols MATCHES " __[a-z0-9_]+_chk@")
  Expect("${name} keeps a .comment section" NOT sections MATCHES " \\.comment ")
endfunction()

if(SHIPPED)
  foreach(program ${programs})
    ExpectHardened("${root}/usr/bin/${program}")
  endforeach()
  execute_process(COMMAND lintian -I -E --pedantic "${debs}" RESULT_VARIABLE code
                  OUTPUT_VARIABLE found ERROR_VARIABLE found)
  Expect("lintian fails (${code}):\n${found}" code EQUAL 0)
  Expect("lintian finds the programs not hardened:\n${found}" NOT found MATCHES "hardening")
  # Newer lintian passes the AppStream validator's missing home page on as a failed validation;
  # the validation above has shown that to be its only complaint.
  string(REGEX MATCHALL "(^|\n)[EW]: [^\n]*" faults "${found}")
  foreach(fault ${faults})
    Expect("lintian finds errors or warnings:\n${found}"
           NOT HOMEPAGE AND fault MATCHES " appstream-metadata-validation-failed ")
  endforeach()
endif()
file(REMOVE_RECURSE "${SCRATCH}")
