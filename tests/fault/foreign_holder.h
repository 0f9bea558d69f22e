// Another process holding com1: a forked child opens it through CreateFileA, as a second copy of
// the tool would, and keeps it until the object goes.
#pragma once

#include <sys/types.h>

class ForeignHolder {
public:
    ForeignHolder();
    // Lets the child close the device and exit, and reaps it (killing it past a deadline).
    ~ForeignHolder();
    ForeignHolder(const ForeignHolder&) = delete;
    ForeignHolder& operator=(const ForeignHolder&) = delete;

    // Whether the child's CreateFileA succeeded; false also when it did not say in time.
    bool Holds() const { return m_holds; }
    // Lets go now; true when the child closed the device and exited in time.
    bool Release();

private:
    pid_t m_pid = -1;
    int m_pidfd = -1;
    int m_toChild = -1;
    bool m_holds = false;
};
