// VORNIKAL_TRACE=comm through one real Send: every comm call the dialog makes prints one line on
// standard error, in order, with its arguments by name, the device com1 led to and the result;
// a failed open says why in words. Nothing else is printed.
#include "device_map.h"
#include "dialog_driver.h"
#include "line_exchange.h"
#include "probe_dialog.h"
#include "pty_peer.h"
#include "resource.h"
#include "stderr_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

namespace {

const std::string kTime = R"(\d\d:\d\d:\d\d\.\d\d\d comm: )";
const std::string kPurgeAll = R"(PURGE_TXABORT\|PURGE_RXABORT\|PURGE_TXCLEAR\|PURGE_RXCLEAR)";
const std::string kCreate = R"(CreateFileA\(name="com1", access=GENERIC_READ\|GENERIC_WRITE, share=0, )"
                            R"(disposition=OPEN_EXISTING, flags=FILE_ATTRIBUTE_NORMAL\) )";

void ExpectLines(const std::vector<std::string>& lines, const std::vector<std::string>& patterns)
{
    ASSERT_EQ(lines.size(), patterns.size()) << ::testing::PrintToString(lines);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(kTime + patterns[i]))) << "line " << i + 1 << ": " << lines[i];
}

TEST(CommTraceTest, OneSendPrintsEachCommCallInOrderAndAFailedOpenSaysWhy)
{
    setenv("VORNIKAL_TRACE", "comm", 1);  // before the process's first comm call
    PtyPeer peer;
    peer.SetAnswer({0x41});
    CProbeDialog dialog;
    std::vector<std::string> send;
    std::vector<std::string> failedSend;
    RunModal(dialog, [&](DialogDriver& d) {
        d.SelectRate(1);  // 19200
        d.Type(IDC_SEND_COUNT, "2");
        d.Type(IDC_BYTE0, "7e");
        d.Type(IDC_BYTE1, "81");
        {
            StderrCapture capture;
            d.Click(IDOK);
            ASSERT_TRUE(WaitUntil([&] { return d.Text(IDC_RESULT) == "01000001\r\n"; }));
            send = capture.Lines();
        }
        MapComPort(peer.MapDir(), 1, "/nonexistent/ttyUSB0");
        StderrCapture capture;
        d.Click(IDOK);
        failedSend = capture.Lines();
    });

    const std::string device = peer.SlavePath();
    const std::string rest = " device=" + device + " -> TRUE";
    const std::string handle = "handle=0x[0-9a-f]+";
    ExpectLines(send, {
        // What the open could not check follows the device (processes of other users, say).
        kCreate + "device=" + device + R"( \(map entry )" + (peer.MapDir() / "com1").string() + " -> " + device +
            R"(\)(; [^;]+)* -> 0x[0-9a-f]+)",
        R"(GetCommState\()" + handle + R"(\))" + rest + R"( dcb=\{BaudRate=\d+ ByteSize=\d .* EvtChar=0x[0-9a-f]+\} via=TCGETS2?)",
        R"(SetCommState\()" + handle + R"(, dcb=\{BaudRate=19200 ByteSize=8 Parity=NOPARITY StopBits=ONESTOPBIT )"
            R"(fBinary=1 fParity=\d fOutxCtsFlow=0 fOutxDsrFlow=0 fDtrControl=DTR_CONTROL_DISABLE .* )"
            R"(fRtsControl=RTS_CONTROL_DISABLE .*\}\))" + rest + " via=TCSETS/B19200",
        R"(SetCommMask\()" + handle + R"(, mask=EV_RXCHAR\))" + rest,
        R"(SetupComm\()" + handle + R"(, inQueue=4096, outQueue=4096\))" + rest,
        R"(PurgeComm\()" + handle + ", flags=" + kPurgeAll + R"(\))" + rest,
        R"(SetCommTimeouts\()" + handle + R"(, timeouts=\{ReadIntervalTimeout=MAXDWORD ReadTotalTimeoutMultiplier=1 )"
            R"(ReadTotalTimeoutConstant=0 WriteTotalTimeoutMultiplier=1 WriteTotalTimeoutConstant=0\}\))" + rest,
        R"(WriteFile\()" + handle + R"(, bytesToWrite=2, data=\[7e 81\]\))" + rest + " bytesWritten=2",
        R"(ReadFile\()" + handle + ", bytesToRead=" + std::to_string(transfer::kReceiveSize) + R"(\))" + rest + R"( bytesRead=1 data=\[41\])",
        R"(PurgeComm\()" + handle + ", flags=" + kPurgeAll + R"(\))" + rest,
        R"(CloseHandle\()" + handle + R"(\))" + rest,
    });
    ExpectLines(failedSend, {
        kCreate + R"(device=\(missing\) \(map entry )" + (peer.MapDir() / "com1").string() +
            R"( -> /nonexistent/ttyUSB0\) -> INVALID_HANDLE_VALUE error=ERROR_FILE_NOT_FOUND\(2\) )"
            R"(errno=ENOENT \(No such file or directory\))",
    });
}

}  // namespace
