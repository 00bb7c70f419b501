# Runs one example project through the command-line tool and saves it with
# its results. Called at build time as
#   cmake -DCLI=... -DPROJECT=....json -DOUTPUT=....vnx -DLOG=....txt -P RunExample.cmake
# The summary table and any warnings go to LOG, not into the build's output;
# a failed run fails the build and shows them.
execute_process(
  COMMAND ${CLI} run ${PROJECT} --quiet --output ${OUTPUT}
  OUTPUT_FILE ${LOG}
  ERROR_VARIABLE messages
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(READ ${LOG} table)
  message(FATAL_ERROR "varnex-cli run ${PROJECT} failed (${result}):\n${table}\n${messages}")
endif()
