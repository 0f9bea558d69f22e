// VORNIKAL_TRACE=comm: each comm call prints one line to standard error, as Wine's debug channels
// do: the time to the millisecond, the call with its arguments by name, the device, the result and,
// on failure, the error and the errno behind it in words. Off, a call costs one test of a flag.
#pragma once

#include "win32_comm.h"

#include <string>

// Whether VORNIKAL_TRACE (channels separated by commas) names comm; read once.
bool CommTraceOn();

// One line, built while the call runs and written whole when it ends.
class CommTraceLine {
public:
    explicit CommTraceLine(const char* call);
    CommTraceLine(const CommTraceLine&) = delete;
    CommTraceLine& operator=(const CommTraceLine&) = delete;

    // An argument; the handle's also names the device it stands for.
    CommTraceLine& Argument(const char* name, const std::string& value);
    CommTraceLine& Handle(HANDLE handle);
    CommTraceLine& Device(const std::string& description);
    // A value the call hands back, shown after the result.
    CommTraceLine& Output(const char* name, const std::string& value);

    // Writes the line and passes the result on.
    BOOL Finish(BOOL result);
    HANDLE Finish(HANDLE result);

private:
    void Write(const std::string& result, bool failed);

    std::string m_call;
    std::string m_arguments;
    std::string m_device;
    std::string m_outputs;
};
