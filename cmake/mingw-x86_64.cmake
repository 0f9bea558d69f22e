# The same sources built as a 64-bit Windows program with the mingw-w64 x86_64 tool chain. It is not
# shipped: it lets the Windows tests run under wine64 on machines whose kernel refuses i386 programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VORNIKAL_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
