# Runs make_icon for the build: cmake -DEMULATOR=... -DTOOL=... -DMAP=... -DICON=... -P this.
# Its output goes through files, not the build's pipe: the first Wine process of a session
# starts Wine's services, which keep the output they inherit open, and the build would wait
# for them until the session ends.
cmake_minimum_required(VERSION 3.25)

set(log "${ICON}.log")
execute_process(COMMAND ${EMULATOR} "${TOOL}" "${MAP}" "${ICON}"
                RESULT_VARIABLE exit_code OUTPUT_FILE "${log}" ERROR_FILE "${log}")
file(READ "${log}" output)
file(REMOVE "${log}")
string(STRIP "${output}" output)
if(NOT exit_code EQUAL 0)
  message(FATAL_ERROR "${output}")
elseif(output)
  message("${output}")
endif()
