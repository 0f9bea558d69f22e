# What makes two builds of the same sources give the same bytes, wherever and whenever they run
# (included by the top CMakeLists.txt before any target).
#
# VORNIKAL_RELEASE_EPOCH is the release date in seconds (the manual pages' footers).
execute_process(COMMAND date -u -d ${VORNIKAL_RELEASE_DATE} +%s
                OUTPUT_VARIABLE VORNIKAL_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# VORNIKAL_SOURCE_DATE_EPOCH is the one time the shipped files record (the PE headers' stamp, the
# zip's and the .deb's file times): SOURCE_DATE_EPOCH from the environment where the caller set
# it, as Debian's tools do; else the time of the commit checked out; else, in sources outside git
# (an unpacked source archive), the release date.
function(vornikal_commit_time out_var)
    set(${out_var} "" PARENT_SCOPE)
    find_package(Git QUIET)
    if(NOT GIT_FOUND)
        return()
    endif()
    # safe.directory: root building a clone that belongs to someone else still reads its commit.
    set(git ${GIT_EXECUTABLE} -c safe.directory=${PROJECT_SOURCE_DIR} -C ${PROJECT_SOURCE_DIR})
    execute_process(COMMAND ${git} rev-parse --show-toplevel --absolute-git-dir
                    OUTPUT_VARIABLE folders RESULT_VARIABLE result ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
        return()
    endif()
    string(REPLACE "\n" ";" folders "${folders}")
    list(GET folders 0 top)
    list(GET folders 1 git_dir)
    # Sources unpacked inside some other checkout (a home folder kept in git) are not that commit.
    file(REAL_PATH ${PROJECT_SOURCE_DIR} source)
    if(NOT top STREQUAL source)
        return()
    endif()
    execute_process(COMMAND ${git} log -1 --format=%ct
                    OUTPUT_VARIABLE time RESULT_VARIABLE result ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(result EQUAL 0 AND time MATCHES "^[0-9]+$")
        # A commit or a checkout moves HEAD and writes its log: the build configures again and takes
        # the new commit's time.
        foreach(moved logs/HEAD HEAD)
            if(EXISTS ${git_dir}/${moved})
                set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/${moved})
                break()
            endif()
        endforeach()
        set(${out_var} ${time} PARENT_SCOPE)
    endif()
endfunction()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(VORNIKAL_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    vornikal_commit_time(VORNIKAL_SOURCE_DATE_EPOCH)
    if(NOT VORNIKAL_SOURCE_DATE_EPOCH)
        set(VORNIKAL_SOURCE_DATE_EPOCH ${VORNIKAL_RELEASE_EPOCH})
    endif()
endif()
if(NOT VORNIKAL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${VORNIKAL_SOURCE_DATE_EPOCH}'")
endif()
message(STATUS "SOURCE_DATE_EPOCH: ${VORNIKAL_SOURCE_DATE_EPOCH}")
# Written only when it changes: what records the time depends on this file, so a build folder
# kept from an older commit stamps its outputs again.
set(VORNIKAL_SOURCE_DATE_FILE ${PROJECT_BINARY_DIR}/source_date_epoch)
file(CONFIGURE OUTPUT ${VORNIKAL_SOURCE_DATE_FILE} CONTENT "${VORNIKAL_SOURCE_DATE_EPOCH}\n")

# No build path in a program: __FILE__, the debug information (and so the build id, which hashes
# it) name the sources relative to the top of the tree, and the generated ones (moc, the embedded
# resources) relative to the build folder. GCC tries the last map first, so the build folder,
# which may lie inside the sources, comes last.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=;-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")

# The mingw linker stamps the PE header with the time of the link, and strip stamps it again with
# the time of the strip, unless SOURCE_DATE_EPOCH is in their environment.
if(WIN32)
    set(VORNIKAL_STAMPED ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VORNIKAL_SOURCE_DATE_EPOCH})
    set(CMAKE_C_LINKER_LAUNCHER ${VORNIKAL_STAMPED})
    set(CMAKE_CXX_LINKER_LAUNCHER ${VORNIKAL_STAMPED})
endif()
