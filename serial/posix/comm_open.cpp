// CreateFileA and CloseHandle for the comN devices, wherever the map or this process's entry points.
#include "comm_error.h"
#include "comm_handle.h"
#include "comm_trace.h"
#include "comm_trace_format.h"
#include "device_map.h"
#include "device_open.h"

#include <string>
#include <vector>

#include <termios.h>

namespace fs = std::filesystem;

namespace {

// Where a port name led, for the trace: the device at the end of the links, and the map entry
// that pointed there (or that there was none).
struct ResolvedDevice {
    std::string end;
    std::string route;
    std::vector<std::string> notes;  // what the open could not check or write
};

ResolvedDevice Resolve(unsigned port, const fs::path& device)
{
    std::error_code error;
    const fs::path end = fs::canonical(device, error);
    ResolvedDevice resolved{error ? "(missing)" : end.string(), {}, {}};
    if (ThisProcessComPortEntry(port))
        resolved.route = "(this process's entry com" + std::to_string(port) + " -> " + device.string() + ")";
    else if (device == UnmappedComPortDevice(port))
        resolved.route = "(com" + std::to_string(port) + " has no map entry)";
    else
        resolved.route = "(map entry " + device.string() + " -> " + fs::read_symlink(device, error).string() + ")";
    return resolved;
}

HANDLE OpenComPort(LPCSTR fileName, ResolvedDevice* traceDevice)
{
    if (fileName == nullptr) {
        FailWith(ERROR_INVALID_PARAMETER, "no name");
        return INVALID_HANDLE_VALUE;
    }
    const auto port = ComPortNumber(fileName);
    if (!port) {
        FailWith(ERROR_FILE_NOT_FOUND, "not a comN name");
        return INVALID_HANDLE_VALUE;
    }
    const fs::path device = ComPortDevice(*port);
    if (traceDevice)
        *traceDevice = Resolve(*port, device);
    auto held = OpenExclusiveTty(device, traceDevice ? &traceDevice->notes : nullptr);
    if (!held)
        return INVALID_HANDLE_VALUE;
    return RegisterCommDevice(std::move(*held), traceDevice ? traceDevice->end : std::string());
}

BOOL CloseComPort(HANDLE object)
{
    auto device = UnregisterCommDevice(object);
    if (!device)
        return FALSE;
    // Linux would hold close() for up to 30 s while output drains; Windows throws it away.
    tcflush(device->fd, TCOFLUSH);
    ReleaseExclusiveTty(device->fd);
    // The descriptor itself closes with the last reference to the device.
    return TRUE;
}

}  // namespace

// Comm devices are always opened for reading and writing, exclusively, as existing devices, and
// without overlapped I/O, whatever the access, share mode, disposition and flags ask.
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD flags, HANDLE)
{
    if (!CommTraceOn())
        return OpenComPort(fileName, nullptr);
    CommTraceLine trace("CreateFileA");
    trace.Argument("name", QuotedText(fileName))
        .Argument("access", AccessText(access))
        .Argument("share", std::to_string(shareMode))
        .Argument("disposition", DispositionText(disposition))
        .Argument("flags", FileFlagsText(flags));
    ResolvedDevice device{"(none)", {}, {}};
    const HANDLE handle = OpenComPort(fileName, &device);
    std::string description = device.route.empty() ? device.end : device.end + " " + device.route;
    for (const std::string& note : device.notes)
        description += "; " + note;
    return trace.Device(description).Finish(handle);
}

BOOL CloseHandle(HANDLE object)
{
    if (!CommTraceOn())
        return CloseComPort(object);
    CommTraceLine trace("CloseHandle");
    trace.Handle(object);
    return trace.Finish(CloseComPort(object));
}
