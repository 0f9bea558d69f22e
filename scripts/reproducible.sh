#!/usr/bin/env bash
# Checks that the same commit gives the same bytes: builds what VORNIKAL ships (scripts/package.sh)
# twice from this checkout's committed HEAD, in two clones that differ where two builders' machines do,
# and compares the files' SHA-256:
#   the folder  two absolute paths of different lengths
#   the umask   022, then 077
#   the clock   TZ=UTC, then 14 hours ahead (UTC-14 in POSIX's sign); the second build starts
#               at least a second after the first
#   the locale  C.UTF-8, then zh_TW.UTF-8 (made by install-deps.sh on amd64; C where it is missing)
# Where a file differs, diffoscope shows how: its first lines here, its whole report beside the
# build logs in build-reproducible/. Exit status 1 when any file differs.
# Usage: scripts/reproducible.sh [deb|zip|arm64|armhf]...   (default: deb zip, as scripts/test.sh runs it)
#   The ARM packages build against this checkout's ARM trees (scripts/arm-sysroot.sh), the second
#   build through a link from another folder. The clones go to $TMPDIR (default /tmp) and are removed
#   at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

what=("$@")
[ ${#what[@]} -gt 0 ] || what=(deb zip)
for kind in "${what[@]}"; do
    case $kind in deb | zip | arm64 | armhf) ;; *) echo "usage: scripts/reproducible.sh [deb|zip|arm64|armhf]..." >&2; exit 2 ;; esac
done
started=$SECONDS
say() { echo "reproducible: $*"; }

# Root reads a checkout that may belong to the user who asked through sudo.
git() { command git -c safe.directory="$PWD" "$@"; }
git diff --quiet HEAD -- 2>/dev/null || say "note: uncommitted changes are not built; the clones have HEAD $(git rev-parse --short HEAD)"
reports=$PWD/build-reproducible
rm -rf "$reports"
mkdir -p "$reports"
work=$(mktemp -d "${TMPDIR:-/tmp}/vornikal-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
git bundle create --quiet "$work/head.bundle" HEAD

# Both ARM builds compile against this checkout's tree, the second one through a link from another
# folder: a path of the tree that got into a program would differ.
trees=${VORNIKAL_ARM_TREES:-$PWD/build-trees}
ln -s "$trees" "$work/trees-seen-from-elsewhere"
second_locale=C
locale -a 2>/dev/null | grep -qix 'zh_TW.utf8' && second_locale=zh_TW.UTF-8

# Clones HEAD into FOLDER and builds there under the umask, time zone and locale given, the ARM
# trees taken from TREES; the build's output goes to build-reproducible/NAME.log. Writes the shipped
# files' paths, relative to FOLDER, to build-reproducible/NAME.files.
build() {  # NAME FOLDER UMASK TZ LOCALE TREES
    local name=$1 folder=$2 log=$reports/$1.log
    say "$name: $folder, umask $3, TZ=$4, $5"
    if ! (umask "$3" && git clone --quiet "$work/head.bundle" "$folder" && cd "$folder" &&
          env -u SOURCE_DATE_EPOCH TZ="$4" LC_ALL="$5" LANG="$5" VORNIKAL_ARM_TREES="$6" \
              scripts/package.sh --no-lintian "${what[@]}") >"$log" 2>&1; then
        tail -n 40 "$log"
        say "FAIL: the $name build failed (its log: $log)"
        exit 1
    fi
    sed '1,/^Built:$/d' "$log" | sed "s|^$folder/||" >"$reports/$name.files"
}

first=$work/a second=$work/a-second-folder-with-a-longer-name/vornikal
first_began=$(date +%s)
build first "$first" 022 UTC C.UTF-8 "$trees"
# A build takes minutes; should it ever not, the clock still reads a later second for the other.
while [ "$(date +%s)" -le "$first_began" ]; do sleep 0.1; done
build second "$second" 077 UTC-14 "$second_locale" "$work/trees-seen-from-elsewhere"

[ -s "$reports/first.files" ] || { say "FAIL: scripts/package.sh named no file it built"; exit 1; }
differ=0
while read -r file; do
    a=$first/$file b=$second/$file
    sum_a=$(sha256sum "$a" | cut -d' ' -f1)
    sum_b=$(sha256sum "$b" 2>/dev/null | cut -d' ' -f1) || sum_b=missing
    if [ "$sum_a" = "$sum_b" ]; then
        echo "  same       $sum_a  $(basename "$file")"
        continue
    fi
    differ=1
    echo "  DIFFERENT  $sum_a  $(basename "$file") (the second build: $sum_b)"
    report=$reports/$(basename "$file").diffoscope.txt
    diffoscope --text "$report" "$a" "$b" >/dev/null 2>&1 || true
    head -n 60 "$report"
    echo "  ... the whole report: $report"
done <"$reports/first.files"

if [ $differ -ne 0 ]; then
    say "FAIL: the two builds differ ($((SECONDS - started)) s)"
    exit 1
fi
say "PASS: ${what[*]}: the same bytes from both builds ($((SECONDS - started)) s)"
