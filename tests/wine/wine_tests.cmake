# How the test programs of a Windows cross build are registered (included by tests/CMakeLists.txt).
# They run under Wine in the session tests/wine sets up, where this build's programs can run: the
# x86_64 build always (wine64); the 32-bit build where the kernel runs i386 programs and
# VORNIKAL_WINE64 is not 1 (scripts/wine-lane.sh decides, once per configure). Where they cannot,
# each program is one skipped test that says why, and the build's Linux-side checks still run.
include_guard(GLOBAL)

if(VORNIKAL_WINE_ARCH STREQUAL "win64")
    set(lane "win64 the x86_64 build runs under wine64")
else()
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-lane.sh
                    OUTPUT_VARIABLE lane OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(VORNIKAL_WINE_ARCH STREQUAL "win32" AND NOT lane MATCHES "^win32 ")
    string(REGEX MATCH "^[^ ]+ (.*)" lane "${lane}")
    set(VORNIKAL_WINE_SKIP "${CMAKE_MATCH_1}: the Wine tests run on the x86_64 build (scripts/test-windows.sh, build-win64)"
        CACHE INTERNAL "Why this tree's programs do not run under Wine here")
    message(STATUS "Wine tests skipped: ${VORNIKAL_WINE_SKIP}")
else()
    set(VORNIKAL_WINE_SKIP "" CACHE INTERNAL "Why this tree's programs do not run under Wine here")
    message(STATUS "Wine tests run here (${VORNIKAL_WINE_ARCH})")
endif()

# Registers each TEST/TEST_F of `target` as a test run under Wine in the session, or, where this
# build's programs cannot run, one skipped test named <target>_under_wine that gives the reason.
function(vornikal_wine_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "WITH_COM1" "" "SOURCES")
    if(VORNIKAL_WINE_SKIP)
        add_test(NAME ${target}_under_wine COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${VORNIKAL_WINE_SKIP}")
        set_tests_properties(${target}_under_wine PROPERTIES SKIP_REGULAR_EXPRESSION "^skipped: ")
        return()
    endif()
    gtest_add_tests(TARGET ${target} SOURCES ${arg_SOURCES} TEST_LIST tests)
    set_tests_properties(${tests} PROPERTIES FIXTURES_REQUIRED wine_session TIMEOUT 120)
    if(arg_WITH_COM1)
        # The pty peer goes in front of Wine: it owns the far side of COM1 for the test's length.
        set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
            "${Python3_EXECUTABLE};${PROJECT_SOURCE_DIR}/tests/wine/pty_peer.py;--build-root;${CMAKE_BINARY_DIR};--screenshots;${CMAKE_BINARY_DIR}/tests/wine/screenshots;--;${CMAKE_CROSSCOMPILING_EMULATOR}")
        set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK wine_com1)
    endif()
endfunction()
