# Runs korvel-search on the empty board and with malformed arguments.
set(empty 250000000000000000000000000099)

execute_process(COMMAND ${TOOL} ${empty} 1 3 RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "empty board: status ${status}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL 27)
  message(FATAL_ERROR "expected 24 candidates and 3 totals, got:\n${out}")
endif()
list(GET lines 0 first)
list(GET lines 23 last)
if(NOT first MATCHES "^1\\*0\\*0\\*0 -?[0-9]+$" OR NOT last MATCHES "^1\\*23\\*0\\*0 -?[0-9]+$")
  message(FATAL_ERROR "candidates out of order:\n${out}")
endif()
list(GET lines 24 leaves)
list(GET lines 25 best)
list(GET lines 26 seconds)
if(NOT leaves STREQUAL "leaves 255024" OR NOT best MATCHES "^best -?[0-9]+$"
   OR NOT seconds MATCHES "^seconds [0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "totals wrong:\n${out}")
endif()

foreach(args
    "" "${empty}" "${empty};1" "${empty};1;2;3"
    "25000000000000000000000000009;1;2" "2500000000000000000000000000990;1;2"
    "350000000000000000000000000099;1;2" "250000000000000000000000400099;1;2"
    "25000000000000000000000000x099;1;2"
    "${empty};0;2" "${empty};5;2" "${empty};x;2" "${empty};1;0" "${empty};1;-1"
    "${empty};1;101" "${empty};1;2x" "${empty};1; 2")
  execute_process(COMMAND ${TOOL} ${args} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  string(REGEX MATCHALL "[^\n]+" errLines "${err}")
  list(LENGTH errLines errCount)
  if(NOT status EQUAL 2 OR NOT errCount EQUAL 1 OR NOT out STREQUAL "")
    message(FATAL_ERROR "arguments '${args}': status ${status}, output '${out}', error '${err}'")
  endif()
endforeach()
