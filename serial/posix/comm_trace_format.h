// The Win32 records, flags and codes of the comm calls as the trace shows them: by name.
#pragma once

#include "win32_comm.h"

#include <string>

std::string HandleText(HANDLE handle);
std::string DcbText(const DCB& dcb);
std::string TimeoutsText(const COMMTIMEOUTS& timeouts);
std::string PurgeFlagsText(DWORD flags);
std::string AccessText(DWORD access);
std::string DispositionText(DWORD disposition);
std::string FileFlagsText(DWORD flags);
std::string EventMaskText(DWORD mask);
std::string ErrorText(DWORD error);
// The bytes in hex, the first 100 of them.
std::string BytesText(const void* bytes, DWORD count);
// A C string quoted, or NULL.
std::string QuotedText(const char* text);
