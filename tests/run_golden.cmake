# Runs PROGRAM (a command line, as a list: the program, or an emulator and the program)
# on INPUT and checks its exit status, its silence on standard error and its
# output, byte for byte, against EXPECTED. The output is kept in ACTUAL for inspection.
execute_process(
    COMMAND ${PROGRAM}
    INPUT_FILE "${INPUT}"
    OUTPUT_FILE "${ACTUAL}"
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "exit status ${status}, expected 0\n${errors}")
endif()
if(NOT errors STREQUAL "")
    message(FATAL_ERROR "unexpected output on standard error:\n${errors}")
endif()
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXPECTED}" "${ACTUAL}"
    RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "output differs from ${EXPECTED}\nactual output: ${ACTUAL}")
endif()
