# Cross build of VORNIKAL.EXE, the 32-bit Windows program that is shipped, with the mingw-w64 i686
# tool chain. Its tests run under Wine's 32-bit loader, on machines whose kernel runs i386 programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VORNIKAL_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
