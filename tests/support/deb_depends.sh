# Sourced by the package tests, after x_session.sh (fail).
# check_depends DEB: dpkg-shlibdeps must have found the libraries the programs link, Qt 6's among
# them. Debian 13 renamed the packages of libraries whose interface holds a time_t (suffix t64).
check_depends() {
    local depends depended_on library
    depends=$(dpkg-deb -f "$1" Depends)
    depended_on=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
    for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
        grep -qxF -e "$library" -e "${library}t64" <<<"$depended_on" || fail "Depends lacks $library: $depends"
    done
    echo "Depends: $depends"
}
