# Cross build of `vornikal` for 32-bit ARM Linux with hardware floating point (Debian armhf: ARMv7,
# Raspberry Pi 2 and later with a 32-bit system).
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(VORNIKAL_DEB_ARCH armhf)
set(VORNIKAL_ARM_TRIPLE arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/linux-arm-common.cmake)
# GCC notes on 32-bit ARM that some arguments are passed differently since GCC 7.1; the program and
# every library it links are built by GCC 12, so the note says nothing about this code.
string(APPEND CMAKE_CXX_FLAGS_INIT " -Wno-psabi")
