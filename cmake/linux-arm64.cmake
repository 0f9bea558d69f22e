# Cross build of `vornikal` for 64-bit ARM Linux (Debian arm64: Raspberry Pi 3, 4, 5 with a 64-bit system).
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(VORNIKAL_DEB_ARCH arm64)
set(VORNIKAL_ARM_TRIPLE aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-arm-common.cmake)
