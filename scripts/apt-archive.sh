# Sourced by scripts/fresh-machine.sh and scripts/arm-tree.sh:
#   archive_sources SUITE FOLDER
# prints mmdebstrap's mirror arguments, one per line, for the Debian archive this machine's apt uses,
# asked for release SUITE: its one-line entries, and its deb822 files rewritten into FOLDER. Only the
# files that name this machine's own release count, so third-party archives stay out.
archive_sources() {
    local suite=$1 folder=$2 own file copy
    own=$(host_suite)
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && grep -qw "$own" "$file" || continue
        case $file in
            *.sources)
                copy=$folder/$(basename "$file")
                sed "s/\b$own\b/$suite/g" "$file" >"$copy"
                echo "$copy" ;;
            *) grep '^deb ' "$file" | sed "s/\b$own\b/$suite/g" ;;
        esac
    done
}

# This machine's Debian release (bookworm, trixie).
host_suite() { (. /etc/os-release && echo "$VERSION_CODENAME"); }
