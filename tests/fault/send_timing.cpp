#include "send_timing.h"

#include "resource.h"

#include <chrono>

double TimedSend(DialogDriver& dialog)
{
    const auto start = std::chrono::steady_clock::now();
    dialog.Click(IDOK);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
