# Runs quillon-convert once in a fresh folder and compares the file it writes
# with a golden file, byte for byte. Called by ctest as
#   cmake -DPROGRAM=... -DEMULATOR=a|b -DLOG=... -DLOG_NAME=... -DGOLDEN=...
#         -DOUTPUT=... -DARGS=a|b -DWORK=... -P ConvertGolden.cmake
# with TZ set for the whole process: under Wine the time zone Windows reports
# comes from the TZ the Wine process starts with, not from a variable the
# test program changes for its children.
string(REPLACE "|" ";" emulator "${EMULATOR}")
string(REPLACE "|" ";" args "${ARGS}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY_FILE "${LOG}" "${WORK}/${LOG_NAME}")
execute_process(
  COMMAND ${emulator} "${PROGRAM}" "${LOG_NAME}" ${args} -o "${OUTPUT}"
  WORKING_DIRECTORY "${WORK}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "quillon-convert exited with ${status}: ${err}")
endif()
if(NOT out STREQUAL "${OUTPUT}\n")
  message(FATAL_ERROR "quillon-convert printed '${out}' instead of the output's name and one line end")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${OUTPUT}" "${GOLDEN}" RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${WORK}/${OUTPUT} differs from ${GOLDEN}")
endif()
file(REMOVE_RECURSE "${WORK}")
