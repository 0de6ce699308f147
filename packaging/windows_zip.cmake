# Run by cpack before it makes the Windows ZIP, on the files it is about to hold. The ZIP
# is what a teacher gets: its boletim-turma.exe must write the workbook a file dropped on
# it asks for and read the spreadsheets it is given, and no program in it may need a DLL
# that is not beside it or in Windows.
if(NOT CPACK_BOLETIM_XLSX OR NOT CPACK_BOLETIM_SHEETS)
    message(FATAL_ERROR "this build cannot write .xlsx or read .xlsx and .ods: build the "
        "libraries first (cmake/windows-libraries.sh build/windows-libraries), then "
        "configure again (cmake --fresh --preset windows)")
endif()
include(${CPACK_BOLETIM_SOURCE_DIR}/cmake/windows_imports.cmake)
file(GLOB_RECURSE programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.exe)
check_windows_imports(${CPACK_BOLETIM_OBJDUMP} ${programs})
