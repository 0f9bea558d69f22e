#!/bin/busybox sh
# PID 1 of a lab guest (tests/lab/lab_run.py builds the initramfs): loads the modules in the order the
# runner numbered them, finds its console, runs the lab's guest program with the runner's arguments,
# and powers the machine off. Lines starting "lab-" are read by the runner.
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
# As on Debian: the folder where serial programs leave their lock files, open to all.
mkdir -p -m 1777 /run/lock

for module in /modules/*.ko; do
    insmod "$module" || echo "lab-check|guest|module ${module#/modules/}|FAIL|insmod failed"
done

# The kernel opened no console for this process when its console driver is a module (hvc0).
console=$(cat /lab/console)
if [ ! -t 1 ]; then
    tries=0
    while [ ! -e "/dev/$console" ] && [ $tries -lt 500 ]; do
        usleep 10000
        tries=$((tries + 1))
    done
    exec </dev/"$console" >/dev/"$console" 2>&1
fi
echo "lab-init|$(cut -d' ' -f1 /proc/uptime)"

# shellcheck disable=SC2046 # the arguments are words
/lab/guest $(cat /lab/args)
echo "lab-exit|$?"
poweroff -f
