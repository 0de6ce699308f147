# Compiles for WebAssembly with Debian's clang 16, wasi-libc and LLVM's libc++ for wasm32
# (packages clang-16, lld-16, llvm-16, wasi-libc, libc++-16-dev-wasm32,
# libc++abi-16-dev-wasm32, libclang-rt-16-dev-wasm32), for the page, which runs the
# programs in the browser. That libc++ is built without exceptions: the programs' handlers are compiled and never reached,
# and a throw stops the program (src/platform/exceptions_web.cpp). The libraries the page
# uses, built from Debian's sources (cmake/web-libraries.sh), are looked for in the folder
# the environment variable BOLETIM_WEB_LIBRARIES names, as the web preset sets it.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(wasi_target wasm32-wasi)
set(CMAKE_C_COMPILER clang-16)
set(CMAKE_CXX_COMPILER clang++-16)
set(CMAKE_C_COMPILER_TARGET ${wasi_target})
set(CMAKE_CXX_COMPILER_TARGET ${wasi_target})
# LLVM's archiver (package llvm-16), which indexes WebAssembly objects.
find_program(CMAKE_AR NAMES llvm-ar-16 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-16 llvm-ranlib REQUIRED)
# CMake knows no WASI platform: its description is cmake/modules/Platform/WASI.cmake.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/../modules)
set(CMAKE_CXX_FLAGS_INIT "-fignore-exceptions")
set(web_libraries $ENV{BOLETIM_WEB_LIBRARIES})
set(CMAKE_FIND_ROOT_PATH /usr/include/${wasi_target} /usr/lib/${wasi_target} ${web_libraries})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${web_libraries}/lib/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# Linked without the compile flags: given -O, clang runs whatever wasm-opt is on the path,
# and Debian's is older than clang 16's WebAssembly features.
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> --target=${wasi_target} <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
