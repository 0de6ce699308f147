# A Windows program may import only DLLs that every Windows has: one that needs any other
# (zlib1.dll, say) stops before it starts on a teacher's machine. Running it cannot show
# this under wine, which has builtin copies of such DLLs; reading its imports can.
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump "-DPROGRAMS=a.exe;b.exe" -P windows_imports.cmake
# or, included, check_windows_imports(OBJDUMP PROGRAM...).

cmake_policy(VERSION 3.25)

# Windows' own DLLs, on every version from 7 on.
set(windows_own_dlls
    advapi32 bcrypt comctl32 comdlg32 crypt32 gdi32 kernel32 msvcrt ntdll ole32 oleaut32
    shell32 shlwapi user32 version winmm ws2_32)

function(check_windows_imports objdump)
    if(NOT ARGN)
        message(FATAL_ERROR "no Windows program to check")
    endif()
    foreach(program IN LISTS ARGN)
        execute_process(COMMAND ${objdump} -p ${program} OUTPUT_VARIABLE headers
            RESULT_VARIABLE failed)
        string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
        if(failed OR NOT imports)
            message(FATAL_ERROR "${objdump} cannot read the imports of ${program}")
        endif()
        foreach(import IN LISTS imports)
            string(REGEX REPLACE "^DLL Name: " "" dll "${import}")
            string(TOLOWER "${dll}" name)
            string(REGEX REPLACE "\\.dll$" "" name "${name}")
            if(NOT name IN_LIST windows_own_dlls)
                message(SEND_ERROR "${program} imports ${dll}, which Windows does not have")
            endif()
        endforeach()
    endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    check_windows_imports(${OBJDUMP} ${PROGRAMS})
endif()
