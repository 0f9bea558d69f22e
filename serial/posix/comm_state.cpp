// GetCommState and SetCommState over termios.
#include "comm_handle.h"
#include "dcb_termios.h"
#include "comm_error.h"
#include "comm_trace.h"
#include "comm_trace_format.h"
#include "modem_lines.h"
#include "termios2_rate.h"

#include <cstdint>

#include <sys/ioctl.h>
#include <termios.h>

namespace {

// A UART reaches most rates only through a divisor; like the Windows driver, accept what lands
// within 1% of the request and refuse a device that settled further away.
bool RateTaken(int fd, DWORD requested)
{
    auto actual = ReadLineRate(fd);
    if (!actual)
        return false;
    const std::uint64_t difference = *actual > requested ? *actual - requested : requested - *actual;
    return difference * 100 <= requested;
}

void ApplyModemLines(CommDevice& device, const DCB& dcb)
{
    if (dcb.fDtrControl == DTR_CONTROL_ENABLE)
        RaiseModemLines(device.fd, TIOCM_DTR);
    else
        DropModemLines(device.fd, TIOCM_DTR);
    // With handshaking the kernel drives RTS itself (CRTSCTS).
    if (dcb.fRtsControl == RTS_CONTROL_ENABLE)
        RaiseModemLines(device.fd, TIOCM_RTS);
    else if (dcb.fRtsControl == RTS_CONTROL_DISABLE)
        DropModemLines(device.fd, TIOCM_RTS);
    device.dtrControl = dcb.fDtrControl;
    device.rtsControl = dcb.fRtsControl;
}

void DescribeModemLines(const CommDevice& device, const termios& settings, DCB& dcb)
{
    const auto lines = ReadModemLines(device.fd);
    if (lines)
        dcb.fDtrControl = (*lines & TIOCM_DTR) ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    else
        dcb.fDtrControl = device.dtrControl;
    if (settings.c_cflag & CRTSCTS)
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    else if (lines)
        dcb.fRtsControl = (*lines & TIOCM_RTS) ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    else
        dcb.fRtsControl = device.rtsControl;
}

BOOL GetState(HANDLE file, DCB* dcb)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (dcb == nullptr)
        return FailWith(ERROR_INVALID_PARAMETER);
    termios settings{};
    if (tcgetattr(device->fd, &settings) != 0)
        return FailWithErrno();
    const auto rate = ReadLineRate(device->fd);
    if (!rate)
        return FailWithErrno();

    DCB found{};
    found.DCBlength = sizeof found;
    found.BaudRate = *rate;
    DescribeTermiosInDcb(settings, found);
    DescribeModemLines(*device, settings, found);
    *dcb = found;
    return TRUE;
}

BOOL SetState(HANDLE file, const DCB* dcb)
{
    auto device = FindCommDevice(file);
    if (!device)
        return FALSE;
    if (dcb == nullptr)
        return FailWith(ERROR_INVALID_PARAMETER);
    if (const DWORD problem = CheckDcb(*dcb); problem != ERROR_SUCCESS)
        return FailWith(problem);

    termios settings{};
    if (tcgetattr(device->fd, &settings) != 0)
        return FailWithErrno();
    ApplyDcbToTermios(*dcb, settings);
    const auto standardSpeed = StandardSpeed(dcb->BaudRate);
    if (standardSpeed) {
        cfsetispeed(&settings, *standardSpeed);
        cfsetospeed(&settings, *standardSpeed);
    }
    if (tcsetattr(device->fd, TCSANOW, &settings) != 0)
        return FailWithErrno();
    if (!standardSpeed && !SetFreeLineRate(device->fd, dcb->BaudRate))
        return FailWithErrno();
    ApplyModemLines(*device, *dcb);
    if (!RateTaken(device->fd, dcb->BaudRate))
        return FailWith(ERROR_INVALID_PARAMETER, "the device settled on another rate");
    return TRUE;
}

}  // namespace

BOOL GetCommState(HANDLE file, LPDCB dcb)
{
    if (!CommTraceOn())
        return GetState(file, dcb);
    CommTraceLine trace("GetCommState");
    trace.Handle(file);
    const BOOL result = GetState(file, dcb);
    if (result)
        trace.Output("dcb", DcbText(*dcb));
    return trace.Finish(result);
}

BOOL SetCommState(HANDLE file, LPDCB dcb)
{
    if (!CommTraceOn())
        return SetState(file, dcb);
    CommTraceLine trace("SetCommState");
    trace.Handle(file).Argument("dcb", dcb ? DcbText(*dcb) : "NULL");
    return trace.Finish(SetState(file, dcb));
}
