# What the mingw-w64 cross builds share (mingw-i686.cmake, mingw-x86_64.cmake set the processor and
# VORNIKAL_MINGW_PREFIX, then include this). Tests built this way run under Wine
# (scripts/wine-run.sh), in a Wine prefix of the build tree.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: its C++ library has std::mutex and std::thread (GoogleTest needs them).
set(CMAKE_C_COMPILER ${VORNIKAL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORNIKAL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VORNIKAL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORNIKAL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-times (and winpthread) go into the program: it needs no DLL that Windows does
# not ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The kind of Wine prefix that runs this build's programs; scripts/wine-env.sh reads it from the cache.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(VORNIKAL_WINE_ARCH win64 CACHE INTERNAL "Wine prefix kind of this build")
else()
    set(VORNIKAL_WINE_ARCH win32 CACHE INTERNAL "Wine prefix kind of this build")
endif()

# Programs of this build run under Wine, each in the build tree's own prefix (created on first use).
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
