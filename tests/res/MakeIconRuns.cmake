# Runs the icon tool the way the build does and checks what a developer sees: a bad map stops
# it with the map's name, the line and the fault, a non-zero exit and no icon file.
# Takes EMULATOR (may be empty), TOOL, MAP (the real pixel map) and WORK (a scratch folder).
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

string(REPEAT "." 32 empty_row)
string(REPEAT "${empty_row}\n" 31 empty_rows)
string(REPEAT "." 28 rest_of_row)
file(WRITE "${WORK}/unknown.txt" "k 0 black\n${empty_rows}...q${rest_of_row}\n")
file(WRITE "${WORK}/short.txt" "k 0 black\n${empty_rows}")

set(failures "")
set(icon "${WORK}/out.ico")
# check(name expected_exit expected_message tool_arguments...)
function(check name expected_exit expected_message)
  file(REMOVE "${icon}")
  execute_process(COMMAND ${EMULATOR} "${TOOL}" ${ARGN}
                  RESULT_VARIABLE exit_code ERROR_VARIABLE message OUTPUT_QUIET)
  string(STRIP "${message}" message)
  if(NOT exit_code STREQUAL expected_exit)
    string(APPEND failures "${name}: exit ${exit_code}, expected ${expected_exit} (${message})\n")
  endif()
  if(NOT message MATCHES "${expected_message}")
    string(APPEND failures "${name}: said \"${message}\", expected /${expected_message}/\n")
  endif()
  if(expected_exit EQUAL 0)
    set(size 0)
    if(EXISTS "${icon}")
      file(SIZE "${icon}" size)
    endif()
    # Directory, header, 16 colours, 32 rows of 16 bytes of colour and of 4 bytes of mask.
    if(NOT size EQUAL 766)
      string(APPEND failures "${name}: wrote ${size} bytes, expected 766\n")
    endif()
  elseif(EXISTS "${icon}")
    string(APPEND failures "${name}: left an icon file behind\n")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

check("unknown character" 1 "unknown\\.txt:33: error: 'q' in column 4 is not in the legend$"
      "${WORK}/unknown.txt" "${icon}")
check("too few rows" 1 "short\\.txt: error: the map has 31 rows of pixels; it needs 32$"
      "${WORK}/short.txt" "${icon}")
check("missing map" 1 "cannot read .*missing\\.txt$" "${WORK}/missing.txt" "${icon}")
check("icon in a missing folder" 1 "cannot write .*no-such-folder/out\\.ico$" "${MAP}"
      "${WORK}/no-such-folder/out.ico")
check("no icon named" 2 "^usage: make_icon MAP.txt ICON.ico$" "${MAP}")
check("the real map" 0 "^$" "${MAP}" "${icon}")

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
