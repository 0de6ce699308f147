# ppc64el: every processor has a fused multiply-add, which GCC uses by default.
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(debian_triplet powerpc64le-linux-gnu)
set(qemu_program qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
