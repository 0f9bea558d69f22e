// A recording stand-in for the Win32 comm calls, linked in their place: it records every call with
// its arguments, answers from a script, and can be told to fail any call or to move fewer bytes.
#pragma once

#include "win32_names.h"

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fake_comm {

struct State {
    std::vector<std::string> calls;          // "Name(arg, arg, ...)", the handle shown as h
    std::set<std::string> failing;           // names of calls that report failure
    DCB reported{};                          // what GetCommState hands out; a SetCommState that succeeds sets it
    DCB applied{};                           // the last record SetCommState received
    COMMTIMEOUTS timeouts{};                 // the last record SetCommTimeouts received
    std::deque<BYTE> incoming;               // what ReadFile hands out
    std::vector<BYTE> written;               // what WriteFile took
    DWORD writeLimit = MAXDWORD;             // at most this many bytes per WriteFile
    DWORD readLimit = MAXDWORD;              // at most this many bytes per ReadFile
    std::optional<DWORD> readClaim;          // when set, the count ReadFile reports, whatever it gave
    int openHandles = 0;
    std::function<void(const char* name)> onCall;  // told of each call as it is made
};

using Calls = std::vector<std::string>;

// What the fake records for a CCommPort that opens com1 (at any rate) and for one that closes it.
const Calls kOpenCalls = {
    "CreateFileA(\"com1\", 0xC0000000, 0, null, 3, 0x80, null)",
    "GetCommState(h)",
    "SetCommState(h)",
    "SetCommMask(h, 0x1)",
    "SetupComm(h, 4096, 4096)",
    "PurgeComm(h, 0xF)",
    "SetCommTimeouts(h)",
};
const Calls kCloseCalls = {"PurgeComm(h, 0xF)", "CloseHandle(h)"};

// The lists one after another.
Calls Concat(Calls first, const std::vector<Calls>& rest);

// The one fake device of the process; Reset() makes it new.
State& Device();
void Reset();
// A DCB whose every field holds a distinct non-zero value, to see which fields Open changes.
DCB DistinctDcb();

}  // namespace fake_comm
