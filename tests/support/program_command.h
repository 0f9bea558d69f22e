// The command line that starts one of this build's programs. Where the tests run under an emulator (a
// cross build), the emulator comes first: an emulated process cannot start a program of its own
// architecture by itself.
#pragma once

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> ProgramCommand(const std::vector<std::string>& words)
{
    std::vector<std::string> command;
#ifdef VORNIKAL_EMULATOR
    std::istringstream emulator(VORNIKAL_EMULATOR);
    command.assign(std::istream_iterator<std::string>(emulator), std::istream_iterator<std::string>());
#endif
    command.insert(command.end(), words.begin(), words.end());
    return command;
}
