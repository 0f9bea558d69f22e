#include "lab_report.h"

#include <cstdio>
#include <iostream>

namespace {
int reported = 0;
}

void Report(const std::string& driver, const std::string& check, const Outcome& outcome)
{
    ++reported;
    // A Send on the console may have left it without output processing: each line starts afresh.
    std::cout << "\r\nlab-check|" << driver << "|" << check << "|" << (outcome.ok ? "ok" : "FAIL") << "|"
              << outcome.figure << "\r" << std::endl;
}

void ReportEnd()
{
    std::cout << "\r\nlab-end|" << reported << "\r" << std::endl;
}

void AskHost(const std::string& request)
{
    std::cout << "\r\nlab-" << request << "\r" << std::endl;
}

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char digits[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += (text.empty() ? "" : " ") + std::string(digits);
    }
    return text.empty() ? "nothing" : text;
}

std::string Milliseconds(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", ms);
    return text;
}
