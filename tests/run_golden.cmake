# Runs PROGRAM (a command line, as a list: the program, or an emulator and the program)
# with ARGS, in WORKING_DIRECTORY if given and on INPUT if given, and checks its exit
# status against STATUS (0 if not given), its standard error against the file ERRORS
# (nothing at all if not given) and its output, byte for byte, against EXPECTED. What it
# wrote is kept in ACTUAL and ACTUAL.err for inspection.
if(NOT DEFINED STATUS)
    set(STATUS 0)
endif()
set(options OUTPUT_FILE "${ACTUAL}" ERROR_FILE "${ACTUAL}.err" RESULT_VARIABLE status)
if(DEFINED INPUT)
    list(APPEND options INPUT_FILE "${INPUT}")
endif()
if(DEFINED WORKING_DIRECTORY)
    list(APPEND options WORKING_DIRECTORY "${WORKING_DIRECTORY}")
endif()
execute_process(COMMAND ${PROGRAM} ${ARGS} ${options})
file(READ "${ACTUAL}.err" errors)
if(NOT status STREQUAL STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\n${errors}")
endif()
set(expected_errors "")
if(DEFINED ERRORS)
    file(READ "${ERRORS}" expected_errors)
endif()
if(NOT errors STREQUAL expected_errors)
    message(FATAL_ERROR "standard error differs; it was:\n${errors}")
endif()
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXPECTED}" "${ACTUAL}"
    RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "output differs from ${EXPECTED}\nactual output: ${ACTUAL}")
endif()
