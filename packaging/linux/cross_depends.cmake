# Run by cpack in a cross build (CPACK_PROJECT_CONFIG_FILE): the package's Depends, computed as
# dpkg-shlibdeps computes them from shlibs entries, but against the target's tree, since dpkg-shlibdeps
# looks for libraries and their packages on the build machine. Each library a program needs (its
# DT_NEEDED soname NAME.so.VERSION or NAME-VERSION.so) names the entry "NAME VERSION" in the target
# packages' shlibs files, and that entry gives the dependency. A library with no entry stops the package.
include(${CMAKE_CURRENT_LIST_DIR}/cross_depends_inputs.cmake)

file(STRINGS ${VORNIKAL_TARGET_SHLIBS} entries)
foreach(entry ${entries})
    if(entry MATCHES "^([^ ]+) ([^ ]+) (.+)$")
        set("shlibs_${CMAKE_MATCH_1} ${CMAKE_MATCH_2}" "${CMAKE_MATCH_3}")
    endif()
endforeach()

set(depends)
foreach(program ${VORNIKAL_PACKAGE_PROGRAMS})
    # readelf speaks the builder's language (zh_TW: 共享函式庫), and the lines are read in English.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${VORNIKAL_READELF} --dynamic ${program}
                    OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
    # Every program needs the C library at least: none found means the output was not understood.
    if(NOT needed)
        message(FATAL_ERROR "readelf names no library that ${program} needs:\n${dynamic}")
    endif()
    foreach(line ${needed})
        string(REGEX REPLACE "Shared library: \\[(.+)\\]" "\\1" soname "${line}")
        # Two tests: a failed MATCHES clears the groups the other one found.
        set(key "")
        if(soname MATCHES "^(.+)\\.so\\.(.+)$")
            set(key "shlibs_${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
        elseif(soname MATCHES "^(.+)-([0-9.]+)\\.so$")
            set(key "shlibs_${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
        endif()
        if(NOT DEFINED "${key}")
            message(FATAL_ERROR "${program} needs ${soname}, which no package of the target tree declares")
        endif()
        list(APPEND depends "${${key}}")
    endforeach()
endforeach()
list(REMOVE_DUPLICATES depends)
list(SORT depends)
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
