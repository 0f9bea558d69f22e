// vornikal-send.exe run from a console as a user runs it, with COM1 on the pty peer: the answer
// in the dialog's lines with Windows line ends, silence, and bad input.
#include "peer_channel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using peer::Bytes;

constexpr DWORD kDeadlineMs = 20000;

struct SendRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string out;
    std::string err;
};

std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char chunk[256];
    DWORD got = 0;
    while (::ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}

// Its output and errors on pipes of their own: the test's standard streams are the peer's channel.
SendRun RunSend(const std::wstring& arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    SendRun run;
    if (!::CreatePipe(&outRead, &outWrite, &inherit, 0) || !::CreatePipe(&errRead, &errWrite, &inherit, 0))
        return run;
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    std::wstring path = L"Z:" VORNIKAL_SEND_PATH;
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    std::wstring command = L"\"" + path + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &process);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    if (started && ::WaitForSingleObject(process.hProcess, kDeadlineMs) == WAIT_OBJECT_0) {
        run.out = ReadAll(outRead);
        run.err = ReadAll(errRead);
        ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    } else if (started) {
        ::TerminateProcess(process.hProcess, 99);
    }
    if (started) {
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(outRead);
    ::CloseHandle(errRead);
    return run;
}

TEST(SendExeTest, AnswerSilenceAndBadInputAsOnLinux)
{
    peer::Sentinel();
    peer::Arm({0x7E, 0x81});
    SendRun run = RunSend(L"--baud 19200 7E 81");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "01111110\r\n10000001\r\n");
    EXPECT_EQ(peer::Seen(2), Bytes({0x7E, 0x81}));

    peer::Sentinel();
    run = RunSend(L"--baud 38400 --hex 55");
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_EQ(run.out, "\r\n");
    EXPECT_EQ(peer::Seen(1), Bytes{0x55});

    run = RunSend(L"--baud 19200 --count 9");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("not a count"), std::string::npos) << run.err;
}

}  // namespace
