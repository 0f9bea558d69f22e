# What the ARM cross builds share (linux-arm64.cmake, linux-armhf.cmake set the processor, the Debian
# architecture and the GNU triple, then include this). They compile against a tree of the
# target, of this machine's Debian release, made by scripts/arm-sysroot.sh (run here when VORNIKAL_ARM_TREE does not name one), and run
# the target's programs (tests, build steps) under qemu-user through that tree's `emulator`.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${VORNIKAL_ARM_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VORNIKAL_ARM_TRIPLE}-g++)
# Debian 12's cross compilers (GCC 12) warn at -O3 inside libstdc++'s own std::string that a copy of
# half the address space might overlap (GCC bug 105329, a false positive).
string(APPEND CMAKE_CXX_FLAGS_INIT " -Wno-restrict")

set(VORNIKAL_ARM_TREE "" CACHE PATH "The folder scripts/arm-sysroot.sh made: root/ and emulator")
if(NOT VORNIKAL_ARM_TREE)
    execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/arm-sysroot.sh ${VORNIKAL_DEB_ARCH}
                    OUTPUT_VARIABLE tree OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(VORNIKAL_ARM_TREE ${tree} CACHE PATH "The folder scripts/arm-sysroot.sh made: root/ and emulator" FORCE)
endif()
# The checks CMake compiles while configuring read this file again: they get the tree as it is.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORNIKAL_ARM_TREE)

set(CMAKE_SYSROOT ${VORNIKAL_ARM_TREE}/root)
set(CMAKE_FIND_ROOT_PATH ${CMAKE_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_SYSROOT}/usr/lib/${VORNIKAL_ARM_TRIPLE}/pkgconfig:${CMAKE_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})

# Qt's code generators (moc, uic, rcc) are the build machine's own, from qt6-base-dev-tools.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR ${VORNIKAL_ARM_TREE}/emulator)
# The package's Depends come from the tree's shlibs entries (packaging/linux/cross_depends.cmake).
set(VORNIKAL_TARGET_SHLIBS ${VORNIKAL_ARM_TREE}/shlibs)
