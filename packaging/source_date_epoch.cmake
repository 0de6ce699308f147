# Read by cpack before it builds a package. The package's time stamps come from
# SOURCE_DATE_EPOCH; when it is unset, the last commit's date stands in, so that two
# builds of one commit give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(
        COMMAND git -C "${CPACK_BOLETIM_SOURCE_DIR}" log -1 --format=%ct
        OUTPUT_VARIABLE last_commit_time
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE git_failed
        ERROR_QUIET)
    if(NOT git_failed AND last_commit_time MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} "${last_commit_time}")
    endif()
endif()
