#include "comm_trace.h"

#include "comm_error.h"
#include "comm_handle.h"
#include "comm_trace_format.h"
#include "printable_text.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include <unistd.h>

namespace {

// The device's description with every note of the holder checks fits easily.
constexpr std::size_t kLongestText = 4000;

bool NamesComm(const char* channels)
{
    if (channels == nullptr)
        return false;
    std::string_view rest = channels;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        if (rest.substr(0, comma) == "comm")
            return true;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return false;
}

std::string TimeOfDay()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03ld", now.tv_nsec / 1000000);
    return text;
}

// The errno of the last failure by name and in words, or the reason a check gave.
std::string CauseText()
{
    const FailureCause& cause = LastFailureCause();
    if (cause.error != 0) {
        const char* name = strerrorname_np(cause.error);
        return std::string(" errno=") + (name ? name : std::to_string(cause.error).c_str()) + " (" +
               std::strerror(cause.error) + ")";
    }
    return cause.reason.empty() ? std::string() : " (" + PrintableText(cause.reason, kLongestText) + ")";
}

// The line goes out in one write, so lines of several threads or of Qt's own messages never mix.
void WriteWhole(const std::string& line)
{
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t written = write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (written <= 0)
            return;
        done += static_cast<std::size_t>(written);
    }
}

}  // namespace

bool CommTraceOn()
{
    static const bool on = NamesComm(std::getenv("VORNIKAL_TRACE"));
    return on;
}

CommTraceLine::CommTraceLine(const char* call) : m_call(call) {}

CommTraceLine& CommTraceLine::Argument(const char* name, const std::string& value)
{
    m_arguments += (m_arguments.empty() ? "" : ", ") + std::string(name) + "=" + value;
    return *this;
}

CommTraceLine& CommTraceLine::Handle(HANDLE handle)
{
    Argument("handle", HandleText(handle));
    const std::string device = CommDevicePath(handle);
    return Device(device.empty() ? "(no such handle)" : device);
}

CommTraceLine& CommTraceLine::Device(const std::string& description)
{
    // Paths from the map and lock folders, and what the holder checks noted, are other users' words.
    m_device = PrintableText(description, kLongestText);
    return *this;
}

CommTraceLine& CommTraceLine::Output(const char* name, const std::string& value)
{
    m_outputs += " " + std::string(name) + "=" + value;
    return *this;
}

BOOL CommTraceLine::Finish(BOOL result)
{
    Write(result ? "TRUE" : "FALSE", !result);
    return result;
}

HANDLE CommTraceLine::Finish(HANDLE result)
{
    Write(HandleText(result), result == INVALID_HANDLE_VALUE);
    return result;
}

void CommTraceLine::Write(const std::string& result, bool failed)
{
    // Only a failed call's last error is its own.
    const std::string outcome =
        failed ? result + " error=" + ErrorText(GetLastError()) + CauseText() : result + m_outputs;
    WriteWhole(TimeOfDay() + " comm: " + m_call + "(" + m_arguments + ") device=" + m_device + " -> " + outcome +
               "\n");
}
