# s390x: big-endian, and every processor has a fused multiply-add, which GCC uses by
# default.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(debian_triplet s390x-linux-gnu)
set(qemu_program qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
