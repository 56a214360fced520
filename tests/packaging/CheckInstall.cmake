# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build twice into a staging folder, once under a plain prefix and once under one
# with a blank and a dollar sign, and checks what a desktop needs to list and start the game.
function(Install prefix)
  file(REMOVE_RECURSE "${STAGE}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${STAGE}"
                          ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                  RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "installing under ${prefix} failed")
  endif()
endfunction()

# Stops with `text` unless the condition that follows it holds.
function(Expect text)
  if(NOT (${ARGN}))
    message(FATAL_ERROR "${text}")
  endif()
endfunction()

# The width and height of a PNG, from its header.
function(PngSize path out)
  file(READ "${path}" head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 32 8 width)
  string(SUBSTRING "${head}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  set(${out} "${width}x${height}" PARENT_SCOPE)
endfunction()

Install(/usr/local)
set(root "${STAGE}/usr/local")
Expect("the program is not installed" EXISTS "${root}/bin/lindora")
file(STRINGS "${root}/share/applications/lindora.desktop" entry)
list(FIND entry "Exec=/usr/local/bin/lindora" at)
Expect("the menu entry does not start /usr/local/bin/lindora: ${entry}" at GREATER -1)
list(FIND entry "Icon=lindora" at)
Expect("the menu entry names no icon" at GREATER -1)
PngSize("${root}/share/icons/hicolor/256x256/apps/lindora.png" big)
PngSize("${root}/share/icons/hicolor/32x32/apps/lindora.png" small)
Expect("the large icon is ${big}" big STREQUAL 256x256)
Expect("the small icon is ${small}" small STREQUAL 32x32)

Install("/opt/my games$")
file(STRINGS "${STAGE}/opt/my games$/share/applications/lindora.desktop" entry REGEX "^Exec=")
# Quoted, with the dollar sign escaped inside the quotes and that backslash doubled.
set(quoted "Exec=\"/opt/my games\\\\$/bin/lindora\"")
Expect("the menu entry does not quote the program's path: ${entry}" entry STREQUAL quoted)
file(REMOVE_RECURSE "${STAGE}")
