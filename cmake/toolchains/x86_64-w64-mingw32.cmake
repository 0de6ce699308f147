# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64-posix, POSIX threads) and runs the programs under wine, so that
# CTest runs the suite for Windows on this machine. The programs are linked statically:
# they need no DLL beyond the system's. The libraries they use, built for Windows from
# Debian's sources (cmake/windows-libraries.sh), are looked for in the folder the
# environment variable BOLETIM_WINDOWS_LIBRARIES names, as the windows preset sets it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)
set(windows_libraries $ENV{BOLETIM_WINDOWS_LIBRARIES})
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet} ${windows_libraries})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${windows_libraries}/lib/pkgconfig:/usr/${mingw_triplet}/lib/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
