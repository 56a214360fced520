# SPDX-License-Identifier: GPL-3.0-or-later
# Every program but the game answers --help and --version on standard output with exit 0, and an
# unknown option with its usage on standard error and exit 2, without touching standard input.
function(Run result out err)
  execute_process(COMMAND ${ARGN} INPUT_FILE /dev/null RESULT_VARIABLE code
                  OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr TIMEOUT 30)
  set(${result} "${code}" PARENT_SCOPE)
  set(${out} "${stdout}" PARENT_SCOPE)
  set(${err} "${stderr}" PARENT_SCOPE)
endfunction()

function(Expect text)
  if(NOT (${ARGN}))
    message(FATAL_ERROR "${text}")
  endif()
endfunction()

foreach(program ${PROGRAMS})
  get_filename_component(name "${program}" NAME)
  Run(code out err "${program}" --help)
  Expect("${name} --help exits ${code}: ${err}" code EQUAL 0)
  Expect("${name} --help shows no usage: ${out}" out MATCHES "^usage: ${name} ")
  Expect("${name} --help names no --version: ${out}" out MATCHES "--version")

  Run(code out err "${program}" --version)
  Expect("${name} --version exits ${code}: ${err}" code EQUAL 0)
  Expect("${name} --version says \"${out}\"" out STREQUAL "${name} ${VERSION}\n")

  Run(code out err "${program}" --no-such-option)
  Expect("${name} --no-such-option exits ${code}" code EQUAL 2)
  Expect("${name} --no-such-option writes to standard output: ${out}" NOT out)
  Expect("${name} --no-such-option shows no usage: ${err}" err MATCHES "usage: ${name} ")
endforeach()

# Settings under which the referee could play no game, or merge nothing, are refused with a
# reason before any engine starts.
foreach(program ${PROGRAMS})
  get_filename_component(name "${program}" NAME)
  if(NOT name STREQUAL "lindora-match")
    continue()
  endif()
  foreach(settings "--draw-after;3;true;true" "--games;4;--game-range;3-5;true;true"
                   "--game-range;5-3;true;true" "--merge;/nonexistent/results.jsonl")
    Run(code out err "${program}" ${settings})
    Expect("${name} ${settings} exits ${code}" code EQUAL 2)
    Expect("${name} ${settings} gives no reason: ${err}" err MATCHES "^lindora-match: [a-z-]")
  endforeach()
endforeach()
