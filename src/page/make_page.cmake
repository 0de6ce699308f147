# Puts the page together: the HTML, its style and script, the worker's script, and both
# programs' WebAssembly in base64, into one file that needs nothing else.
# cmake -DPAGE_SOURCES=… -DBOLETIM=….wasm -DTURMA=….wasm -DVERSION=… -DOUTPUT=… -P make_page.cmake
cmake_minimum_required(VERSION 3.25)
function(base64_of file variable)
    execute_process(COMMAND base64 -w0 ${file} OUTPUT_VARIABLE encoded COMMAND_ERROR_IS_FATAL ANY)
    set(${variable} "${encoded}" PARENT_SCOPE)
endfunction()
file(READ ${PAGE_SOURCES}/boletim.html page)
file(READ ${PAGE_SOURCES}/page.css style)
file(READ ${PAGE_SOURCES}/page.js script)
file(READ ${PAGE_SOURCES}/worker.js worker)
base64_of(${BOLETIM} boletim)
base64_of(${TURMA} turma)
# string(REPLACE), not configure_file: the scripts hold @ and ${} of their own.
string(REPLACE "@STYLE@" "${style}" page "${page}")
string(REPLACE "@SCRIPT@" "${script}" page "${page}")
string(REPLACE "@WORKER@" "${worker}" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@BOLETIM_WASM@" "${boletim}" page "${page}")
string(REPLACE "@TURMA_WASM@" "${turma}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
