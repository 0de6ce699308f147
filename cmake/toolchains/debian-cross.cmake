# Cross-compiles with Debian's cross toolchain (package g++-TRIPLET, the target's
# libraries under /usr/TRIPLET) and runs the target's programs under qemu-user, so that
# CTest runs the whole suite for the target on this machine.
# The toolchain file of each target sets debian_triplet and qemu_program, then includes
# this one.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${debian_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${debian_triplet}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${debian_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config looks at the target's libraries only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${debian_triplet}/pkgconfig:/usr/share/pkgconfig)
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu_program} -L /usr/${debian_triplet})
