# i386: the x87 unit keeps intermediate results in 80-bit registers; only a store into a
# float rounds them to single precision.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(debian_triplet i686-linux-gnu)
set(qemu_program qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
