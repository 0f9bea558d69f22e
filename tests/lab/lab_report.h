// The guest's results, one console line each, which the runner on the host turns into its table:
//   lab-check|DRIVER|CHECK|ok or FAIL|FIGURE
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Outcome {
    bool ok;
    std::string figure;  // what was measured or read, whether or not it passed
};

inline Outcome Judge(bool ok, std::string figure)
{
    return {ok, std::move(figure)};
}

void Report(const std::string& driver, const std::string& check, const Outcome& outcome);
// Tells the runner that every check has reported.
void ReportEnd();
// Asks the runner on the host for something only it can do (pull a device out).
void AskHost(const std::string& request);

// "7e 81 00 ff"
std::string Hex(const std::vector<std::uint8_t>& bytes);
std::string Milliseconds(double ms);
