#include "comm_trace_format.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <utility>

namespace {

using NamedValue = std::pair<DWORD, const char*>;

std::string Hex(unsigned long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

std::string Decimal(unsigned long value)
{
    return std::to_string(value);
}

// The names of the set flags joined by '|', and what no name covers in hex; "0" for none.
std::string FlagsText(DWORD flags, std::initializer_list<NamedValue> names)
{
    std::string text;
    for (const auto& [flag, name] : names) {
        if ((flags & flag) != flag)
            continue;
        text += text.empty() ? "" : "|";
        text += name;
        flags &= ~flag;
    }
    if (flags != 0)
        text += (text.empty() ? "" : "|") + Hex(flags);
    return text.empty() ? "0" : text;
}

std::string ValueText(DWORD value, std::initializer_list<NamedValue> names)
{
    for (const auto& [known, name] : names) {
        if (known == value)
            return name;
    }
    return Decimal(value);
}

std::string CharText(char c)
{
    return Hex(static_cast<unsigned char>(c));
}

}  // namespace

std::string HandleText(HANDLE handle)
{
    if (handle == INVALID_HANDLE_VALUE)
        return "INVALID_HANDLE_VALUE";
    return Hex(reinterpret_cast<unsigned long>(handle));
}

std::string DcbText(const DCB& dcb)
{
    const auto flag = [](DWORD bit) { return Decimal(bit); };
    return "{BaudRate=" + Decimal(dcb.BaudRate) + " ByteSize=" + Decimal(dcb.ByteSize) +
           " Parity=" + ValueText(dcb.Parity, {{NOPARITY, "NOPARITY"}, {ODDPARITY, "ODDPARITY"},
                                               {EVENPARITY, "EVENPARITY"}, {MARKPARITY, "MARKPARITY"},
                                               {SPACEPARITY, "SPACEPARITY"}}) +
           " StopBits=" + ValueText(dcb.StopBits, {{ONESTOPBIT, "ONESTOPBIT"}, {ONE5STOPBITS, "ONE5STOPBITS"},
                                                   {TWOSTOPBITS, "TWOSTOPBITS"}}) +
           " fBinary=" + flag(dcb.fBinary) + " fParity=" + flag(dcb.fParity) +
           " fOutxCtsFlow=" + flag(dcb.fOutxCtsFlow) + " fOutxDsrFlow=" + flag(dcb.fOutxDsrFlow) +
           " fDtrControl=" + ValueText(dcb.fDtrControl, {{DTR_CONTROL_DISABLE, "DTR_CONTROL_DISABLE"},
                                                         {DTR_CONTROL_ENABLE, "DTR_CONTROL_ENABLE"},
                                                         {DTR_CONTROL_HANDSHAKE, "DTR_CONTROL_HANDSHAKE"}}) +
           " fDsrSensitivity=" + flag(dcb.fDsrSensitivity) + " fTXContinueOnXoff=" + flag(dcb.fTXContinueOnXoff) +
           " fOutX=" + flag(dcb.fOutX) + " fInX=" + flag(dcb.fInX) + " fErrorChar=" + flag(dcb.fErrorChar) +
           " fNull=" + flag(dcb.fNull) +
           " fRtsControl=" + ValueText(dcb.fRtsControl, {{RTS_CONTROL_DISABLE, "RTS_CONTROL_DISABLE"},
                                                         {RTS_CONTROL_ENABLE, "RTS_CONTROL_ENABLE"},
                                                         {RTS_CONTROL_HANDSHAKE, "RTS_CONTROL_HANDSHAKE"},
                                                         {RTS_CONTROL_TOGGLE, "RTS_CONTROL_TOGGLE"}}) +
           " fAbortOnError=" + flag(dcb.fAbortOnError) + " XonLim=" + Decimal(dcb.XonLim) +
           " XoffLim=" + Decimal(dcb.XoffLim) + " XonChar=" + CharText(dcb.XonChar) +
           " XoffChar=" + CharText(dcb.XoffChar) + " ErrorChar=" + CharText(dcb.ErrorChar) +
           " EofChar=" + CharText(dcb.EofChar) + " EvtChar=" + CharText(dcb.EvtChar) + "}";
}

std::string TimeoutsText(const COMMTIMEOUTS& timeouts)
{
    const auto ms = [](DWORD value) { return value == MAXDWORD ? std::string("MAXDWORD") : Decimal(value); };
    return "{ReadIntervalTimeout=" + ms(timeouts.ReadIntervalTimeout) +
           " ReadTotalTimeoutMultiplier=" + ms(timeouts.ReadTotalTimeoutMultiplier) +
           " ReadTotalTimeoutConstant=" + ms(timeouts.ReadTotalTimeoutConstant) +
           " WriteTotalTimeoutMultiplier=" + ms(timeouts.WriteTotalTimeoutMultiplier) +
           " WriteTotalTimeoutConstant=" + ms(timeouts.WriteTotalTimeoutConstant) + "}";
}

std::string PurgeFlagsText(DWORD flags)
{
    return FlagsText(flags, {{PURGE_TXABORT, "PURGE_TXABORT"}, {PURGE_RXABORT, "PURGE_RXABORT"},
                             {PURGE_TXCLEAR, "PURGE_TXCLEAR"}, {PURGE_RXCLEAR, "PURGE_RXCLEAR"}});
}

std::string AccessText(DWORD access)
{
    return FlagsText(access, {{GENERIC_READ, "GENERIC_READ"}, {GENERIC_WRITE, "GENERIC_WRITE"}});
}

std::string DispositionText(DWORD disposition)
{
    return ValueText(disposition, {{OPEN_EXISTING, "OPEN_EXISTING"}});
}

std::string FileFlagsText(DWORD flags)
{
    return FlagsText(flags, {{FILE_ATTRIBUTE_NORMAL, "FILE_ATTRIBUTE_NORMAL"}});
}

std::string EventMaskText(DWORD mask)
{
    return FlagsText(mask, {{EV_RXCHAR, "EV_RXCHAR"}});
}

std::string ErrorText(DWORD error)
{
    const std::string name =
        ValueText(error, {{ERROR_SUCCESS, "ERROR_SUCCESS"}, {ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND"},
                          {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED"}, {ERROR_INVALID_HANDLE, "ERROR_INVALID_HANDLE"},
                          {ERROR_GEN_FAILURE, "ERROR_GEN_FAILURE"}, {ERROR_SHARING_VIOLATION, "ERROR_SHARING_VIOLATION"},
                          {ERROR_NOT_SUPPORTED, "ERROR_NOT_SUPPORTED"}, {ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER"},
                          {ERROR_FILENAME_EXCED_RANGE, "ERROR_FILENAME_EXCED_RANGE"}});
    return name + "(" + Decimal(error) + ")";
}

std::string BytesText(const void* bytes, DWORD count)
{
    constexpr DWORD kShown = 100;
    if (bytes == nullptr)
        return "NULL";
    const auto* data = static_cast<const unsigned char*>(bytes);
    std::string text = "[";
    for (DWORD i = 0; i < std::min(count, kShown); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i == 0 ? "%02x" : " %02x", data[i]);
        text += pair;
    }
    if (count > kShown)
        text += " ...";
    return text + "]";
}

std::string QuotedText(const char* text)
{
    return text == nullptr ? "NULL" : "\"" + std::string(text) + "\"";
}
