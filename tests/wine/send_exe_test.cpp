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

    run = RunSend(L"--baud 19200 --count 4097");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("not a count"), std::string::npos) << run.err;
}

// A bench's probe through either of Windows' names for the port: the eight-byte frame whole, the
// expected answer, and the record.
TEST(SendExeTest, ReachesComOneByEitherNameWithAFrameAndAnExpectedAnswer)
{
    for (const std::wstring port : {L"COM1", L"\\\\.\\COM1", L"com1"}) {
        peer::Sentinel();
        peer::Arm({0x01, 0x03, 0x02, 0x00, 0x2A});
        const SendRun run = RunSend(L"--port " + port + L" --baud 19200 --frame 0103000000010A84 --expect 0103 --json");
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_EQ(peer::Seen(8), Bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x0A, 0x84}));
        EXPECT_NE(run.out.find("\"received\":\"010302002A\",\"expected\":\"0103\""), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("\"outcome\":\"answered\"}\r\n"), std::string::npos) << run.out;
    }
    EXPECT_EQ(RunSend(L"--port /dev/ttyS0 --baud 19200 01").exitCode, 2u) << "Windows names its ports COMn";
}

}  // namespace
