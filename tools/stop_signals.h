// The signals that end a command between two pieces of work: Ctrl+C, a polite kill, a closed terminal.
#pragma once

#include <csignal>

inline sigset_t StopSignalSet()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}
