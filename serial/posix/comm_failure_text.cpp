// On Linux the code alone says little ("file not found" for a node that is not a terminal): the
// errno or the check behind the failure says what happened.
#include "comm_error.h"
#include "comm_failure_text.h"

#include <cstring>

namespace {

const char* CodeText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return "no such device";
    case ERROR_ACCESS_DENIED:
        return "permission denied";
    case ERROR_SHARING_VIOLATION:
        return "the device is in use by another program";
    case ERROR_INVALID_PARAMETER:
        return "the device refused the setting";
    case ERROR_NOT_SUPPORTED:
        return "the device does not support the call";
    default:
        return "the device failed";
    }
}

}  // namespace

std::string CommFailureText(DWORD error)
{
    const FailureCause& cause = LastFailureCause();
    // The holder checks say who holds the device ("in use by minicom (pid 4242): ..."); the
    // kernel's own refusal (flock, TIOCEXCL) names nobody.
    if (error == ERROR_SHARING_VIOLATION)
        return cause.reason.empty() ? CodeText(error) : "the device is " + cause.reason;
    if (cause.error != 0)
        return std::strerror(cause.error);
    if (!cause.reason.empty())
        return cause.reason;
    return CodeText(error);
}
