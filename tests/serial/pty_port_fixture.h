// Tests on a real pseudo-terminal mapped as com1 in a configuration home of the test's own.
#pragma once

#include "config_home.h"
#include "pty_line.h"

#include "win32_names.h"

#include <gtest/gtest.h>

#include <chrono>

// Closes a comm handle at the end of a scope, also when an assertion leaves early.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedHandle();
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    // Closes now; what CloseHandle said.
    BOOL Close();

private:
    HANDLE m_handle;
};

class PtyPortTest : public ::testing::Test {
protected:
    void SetUp() override;

    // com1 through CreateFileA.
    static HANDLE CreateCom1();
    // com1 set to 8N1, no flow control, lines down, with the given time-outs.
    static HANDLE OpenCom1(const COMMTIMEOUTS& timeouts);

    ScopedConfigHome home;
    PtyLine peer;
};

// How many descriptors this process has open.
int OpenDescriptorCount();

// Milliseconds since `start`, with fractions.
double MillisecondsSince(std::chrono::steady_clock::time_point start);

// The time-out record the tool uses.
constexpr COMMTIMEOUTS kToolTimeouts{MAXDWORD, 1, 0, 1, 0};
