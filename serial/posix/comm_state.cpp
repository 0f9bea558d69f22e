// GetCommState and SetCommState over termios.
#include "comm_handle.h"
#include "dcb_termios.h"
#include "comm_error.h"
#include "comm_trace.h"
#include "comm_trace_format.h"
#include "modem_lines.h"
#include "line_rate.h"
#include "line_rate_match.h"

#include <cstdint>
#include <string>

#include <sys/ioctl.h>
#include <termios.h>

namespace {

// A device that settled further from the request than RateMatches allows has refused it.
bool RateTaken(int fd, DWORD requested)
{
    const auto found = ReadLineRate(fd);
    return found && RateMatches(found->bitsPerSecond, requested);
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

// `via` names the calls that read the rate.
BOOL GetState(HANDLE file, DCB* dcb, std::string& via)
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
    found.BaudRate = rate->bitsPerSecond;
    DescribeTermiosInDcb(settings, found);
    DescribeModemLines(*device, settings, found);
    *dcb = found;
    via = rate->via;
    return TRUE;
}

// `via` names the calls that set the rate.
BOOL SetState(HANDLE file, const DCB* dcb, std::string& via)
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
    // Decided before anything changes, so that a rate the line cannot take leaves it as it was.
    const auto plan = PlanLineRate(device->fd, dcb->BaudRate);
    if (!plan)
        return FailWith(ERROR_INVALID_PARAMETER, "without termios2 this line takes only the rates that have a Bnnn code");
    ApplyDcbToTermios(*dcb, settings);
    if (plan->code) {
        cfsetispeed(&settings, *plan->code);
        cfsetospeed(&settings, *plan->code);
    }
    if (tcsetattr(device->fd, TCSANOW, &settings) != 0)
        return FailWithErrno();
    if (!plan->code && !SetRecordFreeRate(device->fd, plan->record, dcb->BaudRate))
        return FailWithErrno();
    ApplyModemLines(*device, *dcb);
    if (!RateTaken(device->fd, dcb->BaudRate))
        return FailWith(ERROR_INVALID_PARAMETER, "the device settled on another rate");
    via = plan->via;
    return TRUE;
}

}  // namespace

BOOL GetCommState(HANDLE file, LPDCB dcb)
{
    std::string via;
    if (!CommTraceOn())
        return GetState(file, dcb, via);
    CommTraceLine trace("GetCommState");
    trace.Handle(file);
    const BOOL result = GetState(file, dcb, via);
    if (result)
        trace.Output("dcb", DcbText(*dcb)).Output("via", via);
    return trace.Finish(result);
}

BOOL SetCommState(HANDLE file, LPDCB dcb)
{
    std::string via;
    if (!CommTraceOn())
        return SetState(file, dcb, via);
    CommTraceLine trace("SetCommState");
    trace.Handle(file).Argument("dcb", dcb ? DcbText(*dcb) : "NULL");
    const BOOL result = SetState(file, dcb, via);
    if (result)
        trace.Output("via", via);
    return trace.Finish(result);
}
