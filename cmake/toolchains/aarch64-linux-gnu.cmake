# arm64: every processor has a fused multiply-add, which GCC uses by default.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(debian_triplet aarch64-linux-gnu)
set(qemu_program qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
