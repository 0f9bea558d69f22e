# The Debian package: `cpack -G DEB` in the build tree makes vornikal_<version>_<arch>.deb from the
# install rules. Depends comes from dpkg-shlibdeps, so it names the Qt 6 libraries the programs link
# (in a cross build, from the target's packages instead: cross_depends.cmake).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornikal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VORNIKAL developers")
set(VORNIKAL_PACKAGE_MAINTAINER "VORNIKAL developers <vornikal@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VORNIKAL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hand probe for a serial (RS-232) link")
set(CPACK_PACKAGE_DESCRIPTION
"VORNIKAL sends up to four bytes, typed in hex, over the serial port mapped
as com1 at a chosen baud rate, and shows every byte the other end answers
as a line of eight binary digits. vornikal-send does the same exchange from
a shell or a script and reports by exit status. vornikal-port lists the
serial devices, says what keeps one from working, and maps com1 to it;
vornikal-loopback maps com1 to a virtual loopback plug, to try the tool
without hardware.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(CMAKE_CROSSCOMPILING)
    # The target's architecture, and Depends from the target's packages (cross_depends.cmake).
    if(NOT VORNIKAL_DEB_ARCH OR NOT VORNIKAL_TARGET_SHLIBS)
        message(FATAL_ERROR "A cross build's package needs VORNIKAL_DEB_ARCH and VORNIKAL_TARGET_SHLIBS "
                            "(cmake/linux-arm64.cmake and cmake/linux-armhf.cmake set them)")
    endif()
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VORNIKAL_DEB_ARCH})
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
    set(program_files)
    foreach(program ${programs})
        list(APPEND program_files "$<TARGET_FILE:${program}>")
    endforeach()
    file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/cross_depends_inputs.cmake CONTENT
"set(VORNIKAL_PACKAGE_PROGRAMS ${program_files})
set(VORNIKAL_READELF ${CMAKE_READELF})
set(VORNIKAL_TARGET_SHLIBS ${VORNIKAL_TARGET_SHLIBS})
")
    configure_file(cross_depends.cmake ${CMAKE_CURRENT_BINARY_DIR}/cross_depends.cmake COPYONLY)
    set(cross_depends "include(${CMAKE_CURRENT_BINARY_DIR}/cross_depends.cmake)")
else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(cross_depends "")
endif()
# cpack reads this file after CPackConfig.cmake. CPack's .deb takes every time it records (the ar
# members, the files and folders of data.tar and control.tar) from SOURCE_DATE_EPOCH in its
# environment; without it, from the clock and the staged files.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/cpack_project.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT
"set(ENV{SOURCE_DATE_EPOCH} ${VORNIKAL_SOURCE_DATE_EPOCH})
${cross_depends}
")
# The face the dialogs stand in for their Ming face comes first; fonts-arphic-uming, the other Ming
# face Debian ships, has fixed-width Latin letters that do not fit every label.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, fonts-arphic-uming")
set(CPACK_STRIP_FILES ON)

# What Debian wants in /usr/share/doc of every package: the machine-readable copyright file and the
# changelog. The version has no Debian revision (this tree is its own upstream), so the package is
# native and its changelog is changelog.gz, not changelog.Debian.gz.
install(FILES copyright DESTINATION share/doc/vornikal)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
configure_file(changelog.in ${changelog} @ONLY)
add_custom_command(
    OUTPUT ${changelog}.gz
    # Maximum compression and no time stamp, as Debian asks of changelogs.
    COMMAND ${VORNIKAL_GZIP} -9nkf ${changelog}
    DEPENDS ${changelog}
    VERBATIM)
add_custom_target(vornikal_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION share/doc/vornikal)

include(CPack)
