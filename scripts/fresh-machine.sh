#!/usr/bin/env bash
# README's commands on a brand-new Debian machine, as a newcomer runs them: makes a minimal Debian
# tree (mmdebstrap, only git added), clones this work tree's committed HEAD into /root/vornikal
# there (a folder other users cannot enter) and runs, as root:
#   scripts/run.sh with no display: it must build the tool and stop at its "no desktop" message;
#   with --full, then scripts/test.sh, and scripts/run.sh on an X server until the dialog shows.
# With --user the same steps run as "newcomer", a user who may use sudo (sudo added to the tree),
# from a clone in /home/newcomer/vornikal, itself a folder other users cannot enter.
# Prints each step's time; the last line is the verdict. Whatever happens, every mount under the
# tree is undone before anything is removed, and nothing is removed through a mount.
# Usage: scripts/fresh-machine.sh [--suite bookworm|trixie] [--full] [--user] [--log FILE]
#   The steps' output goes to FILE (default: a file that is removed with the tree; its end is
#   shown when a step fails). VORNIKAL_FRESH_DIR: the folder the tree is made in (default /var/tmp).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: scripts/fresh-machine.sh [--suite bookworm|trixie] [--full] [--user] [--log FILE]" >&2; exit 2; }
suite=bookworm full=no log= user=root home=/root
arguments=("$@")
while [ $# -gt 0 ]; do
    case $1 in
        --suite) [ $# -ge 2 ] || usage; suite=$2; shift 2 ;;
        --full) full=yes; shift ;;
        --user) user=newcomer home=/home/newcomer; shift ;;
        --log) [ $# -ge 2 ] || usage; log=$(realpath -m "$2"); shift 2 ;;
        *) usage ;;
    esac
done
case $suite in bookworm | trixie) ;; *) usage ;; esac

# Making the tree and mounting in it needs root.
if [ "$(id -u)" -ne 0 ]; then
    exec sudo env VORNIKAL_FRESH_DIR="${VORNIKAL_FRESH_DIR:-/var/tmp}" "$PWD/scripts/fresh-machine.sh" "${arguments[@]}"
fi
form=$([ $full = yes ] && echo full || echo quick)$([ $user = root ] || echo ", as $user")
say() { echo "fresh-machine ($suite, $form): $*"; }
verdict() { say "$1 after $((SECONDS - started)) s"; }
started=$SECONDS

scripts/install-deps.sh fresh >/dev/null
# Root reads a clone that may belong to the user who asked through sudo.
git() { command git -c safe.directory="$PWD" "$@"; }
git diff --quiet HEAD -- 2>/dev/null || say "note: uncommitted changes are not in the clone; it has HEAD $(git rev-parse --short HEAD)"

work=$(realpath "$(mktemp -d "${VORNIKAL_FRESH_DIR:-/var/tmp}/vornikal-fresh.XXXXXX")")
tree=$work/tree
[ -n "$log" ] || log=$work/steps.log
: >"$log"

# The mount points of the tree and under it, deepest first (/proc/mounts escapes blanks as octal).
mounts_under_tree() {
    awk -v tree="$tree" '$2 == tree || index($2, tree "/") == 1 { print $2 }' /proc/mounts |
        while read -r point; do printf '%b\n' "$point"; done | sort -r
}

# Ends what still runs inside the tree (Xvfb, Wine's server, the tool), then undoes every mount
# under it, deepest first, and removes the folder only when nothing is mounted there any more.
clean_up() {
    local status=$? pid point
    trap - EXIT INT TERM HUP
    for pid in /proc/[0-9]*; do
        [ "$(readlink "$pid/root" 2>/dev/null)" = "$tree" ] && { kill -KILL "${pid#/proc/}" 2>/dev/null || true; }
    done
    for _ in 1 2 3; do
        while read -r point; do
            umount "$point" 2>/dev/null || umount --lazy "$point" 2>/dev/null || true
        done < <(mounts_under_tree)
        [ -z "$(mounts_under_tree)" ] && break
        sleep 1
    done
    if [ -n "$(mounts_under_tree)" ]; then
        echo "fresh-machine: still mounted under $tree, so it was left in place:" >&2
        mounts_under_tree >&2
        exit 1
    fi
    rm -rf --one-file-system "$work"
    exit "$status"
}
trap clean_up EXIT
trap 'verdict "FAIL: interrupted"; exit 130' INT TERM HUP

# The package archive and the apt settings of this machine's administrator (proxy, index checks:
# the files no package owns).
source scripts/apt-archive.sh
apt_settings() {
    local file
    for file in /etc/apt/apt.conf /etc/apt/apt.conf.d/*; do
        [ -f "$file" ] && grep -q '^[^/#]*Acquire' "$file" && ! dpkg -S "$file" >/dev/null 2>&1 &&
            echo "--aptopt=$file"
    done
    return 0
}

# Runs "$@" in the tree as the user, with a newcomer's environment.
as_user() {
    chroot --userspec="$user:$user" "$tree" /usr/bin/env -i HOME="$home" USER="$user" LOGNAME="$user" TERM=dumb \
        LANG=C.UTF-8 PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} VORNIKAL_FRESH_MACHINE="$suite" "$@"
}
# ... in the clone.
in_tree() { as_user /bin/bash -c 'cd "$HOME/vornikal" && "$@"' bash "$@"; }

# Runs step $1 (a name), the rest being its command, with its output in the log; says its time.
step() {
    local name=$1 begun=$SECONDS status=0
    shift
    echo "=== $name" >>"$log"
    "$@" >>"$log" 2>&1 || status=$?
    say "$name: $((SECONDS - begun)) s$([ $status -eq 0 ] || echo ", FAILED (status $status)")"
    if [ $status -ne 0 ]; then
        echo "--- the end of the log ($log):"
        tail -n 60 "$log"
        verdict "FAIL at \"$name\""
        exit 1
    fi
}

make_tree() {
    local sources
    mapfile -t sources < <(archive_sources "$suite" "$work")
    [ ${#sources[@]} -gt 0 ] || { echo "no Debian archive found in this machine's apt sources"; return 1; }
    # shellcheck disable=SC2046  # one option per settings file
    mmdebstrap --variant=apt --include=git,ca-certificates$([ $user = root ] || echo ,passwd,sudo) $(apt_settings) \
        "$suite" "$tree" "${sources[@]}"
}

# A user as the installer of a desktop system makes one: a home of their own and sudo for
# everything. No password, as nobody is there to type it.
add_user() {
    chroot "$tree" useradd --create-home --shell /bin/bash "$user"
    chmod 0700 "$tree$home"
    echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$tree/etc/sudoers.d/$user"
    chmod 0440 "$tree/etc/sudoers.d/$user"
}

# The tree's root is a mount point, as a machine's is: Debian 13's mmdebstrap (the ARM lanes) makes
# the mounts of its namespace private and fails on a root that is none.
mount_tree() {
    mount --bind "$tree" "$tree"
    mount -t proc proc "$tree/proc"
    mount -t sysfs sysfs "$tree/sys"
    mount --bind /dev "$tree/dev"
    mount --bind /dev/pts "$tree/dev/pts"
    mount --bind /dev/shm "$tree/dev/shm"
    mount -t tmpfs -o mode=1777 tmpfs "$tree/tmp"
}

# As a newcomer gets it: a clone of the project's HEAD in their home (mode 0700).
clone() {
    git bundle create "$tree/tmp/vornikal.bundle" HEAD
    chmod 0644 "$tree/tmp/vornikal.bundle"
    as_user git -c advice.detachedHead=false clone --quiet /tmp/vornikal.bundle "$home/vornikal"
    rm "$tree/tmp/vornikal.bundle"
    stat -c '%a %n' "$tree$home"
}

# With no display the tool cannot be shown: run.sh must have built it and say so.
run_without_display() {
    local status=0
    in_tree scripts/run.sh 2>&1 | tee "$work/run.out" || status=${PIPESTATUS[0]}
    [ $status -ne 0 ] && grep -q 'no desktop to show the dialog on' "$work/run.out" &&
        [ -x "$tree$home/vornikal/build/shell/vornikal" ]
}

# run.sh on an X server of the tree's own, until the main dialog is on the screen (at most 5 min,
# build included); then it is ended.
run_on_x() {
    in_tree bash -c '
        Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>/tmp/display 2>/tmp/xvfb.log &
        for _ in $(seq 200); do [ -s /tmp/display ] && break; sleep 0.05; done
        [ -s /tmp/display ] || { echo "Xvfb did not start"; cat /tmp/xvfb.log; exit 1; }
        export DISPLAY=:$(head -n1 /tmp/display)
        scripts/run.sh >/tmp/run.log 2>&1 &
        run=$!
        deadline=$((SECONDS + 300))
        until xdotool search --onlyvisible --name "^KESTRAVO v1.0 by OLVANE\$" >/dev/null 2>&1; do
            if [ $SECONDS -ge $deadline ] || ! kill -0 $run 2>/dev/null; then
                echo "the dialog did not show"; cat /tmp/run.log; exit 1
            fi
            sleep 0.2
        done
        cat /tmp/run.log
        echo "the dialog is on the screen"'
}

say "work folder $work, steps logged to $log"
step "make a brand-new $suite tree (mmdebstrap)" make_tree
step "mount the root, /proc, /sys, /dev, /dev/pts, /dev/shm and /tmp" mount_tree
[ $user = root ] || step "add $user, who may use sudo" add_user
step "clone HEAD into $home/vornikal" clone
step "scripts/run.sh without a display: builds, then says there is no desktop" run_without_display
if [ $full = yes ]; then
    step "scripts/test.sh" in_tree scripts/test.sh
    grep -h '^Windows tests:' "$log" | tail -n 1 | sed "s/^/fresh-machine ($suite, $form): /"
    step "scripts/run.sh on Xvfb until the dialog shows" run_on_x
fi
verdict PASS
