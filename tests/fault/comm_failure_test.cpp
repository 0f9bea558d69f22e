// The real dialog's Send over the recording fake of the comm calls, with every call failing in
// turn, short writes and reads, and a ReadFile that claims more than it was asked for. A Send
// whose open failed shows nothing; any other shows the lines of the bytes actually read, 100 at
// most; every Send makes the same calls and leaves no handle open.
#include "conversions.h"
#include "dialog_driver.h"
#include "fake_comm.h"
#include "line_exchange.h"
#include "probe_dialog.h"
#include "resource.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kRate38400 = 2;
const std::string kKept = "kept\r\n";
const std::vector<BYTE> kFrame{0x01, 0x02, 0x03, 0x04};
const std::vector<BYTE> kAnswer{0x00, 0x80, 0xFF};

const fake_comm::Calls kSendCalls = fake_comm::Concat(
    fake_comm::kOpenCalls, {{"WriteFile(h, 4, null)", "ReadFile(h, " + std::to_string(transfer::kReceiveSize) + ", null)"}, fake_comm::kCloseCalls});

std::string LinesOf(const std::vector<BYTE>& bytes)
{
    std::string text;
    for (BYTE byte : bytes)
        text += transfer::ResultLine(byte);
    return text;
}

class CommFailureTest : public ::testing::Test {
protected:
    void SetUp() override { NewDevice(); }

    // A fresh fake device with the answer waiting.
    void NewDevice()
    {
        fake_comm::Reset();
        device.incoming.assign(kAnswer.begin(), kAnswer.end());
    }

    // Runs one Send with all four bytes to go, the box holding a line of its own; the box after it.
    std::string SendOnce()
    {
        std::string shown;
        RunModal(dialog, [&](DialogDriver& d) {
            d.SelectRate(kRate38400);
            d.SetText(IDC_SEND_COUNT, "4");
            const int fields[] = {IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3};
            for (int i = 0; i < 4; ++i)
                d.SetText(fields[i], "0" + std::to_string(i + 1));
            d.SetText(IDC_RESULT, kKept);
            d.Click(IDOK);
            EXPECT_TRUE(d.Running()) << "a Send never ends the dialog";
            EXPECT_EQ(d.Text(IDC_BYTE3), "04") << "the fields keep their texts";
            shown = d.Text(IDC_RESULT);
        });
        return shown;
    }

    fake_comm::State& device = fake_comm::Device();
    CProbeDialog dialog;
};

// The main dialog with its current port in view.
class PortWatchingDialog : public CProbeDialog {
public:
    const CCommPort* CurrentPort() const { return m_currentPort.get(); }
};

// The port is the dialog's from before the open until the answer is shown, and the device stays
// held while the lines go into the box; only then is the port destroyed, closing the device.
TEST_F(CommFailureTest, TheDialogHoldsItsPortUntilTheAnswerIsShown)
{
    PortWatchingDialog watched;
    std::vector<std::string> seen;
    const auto port = [&] { return std::string(watched.CurrentPort() ? "port" : "no port"); };
    device.onCall = [&](const char* name) { seen.push_back(name + (": " + port())); };
    RunModal(watched, [&](DialogDriver& d) {
        EXPECT_EQ(watched.CurrentPort(), nullptr) << "no port before a Send";
        d.SelectRate(kRate38400);
        d.SetText(IDC_SEND_COUNT, "1");
        QObject::connect(d.ControlAs<QPlainTextEdit>(IDC_RESULT), &QPlainTextEdit::textChanged, [&] {
            seen.push_back("line: " + port() + (device.openHandles == 1 ? ", device held" : ", device closed"));
        });
        d.Click(IDOK);
        EXPECT_EQ(watched.CurrentPort(), nullptr) << "no port after it";
    });
    const std::string line = "line: port, device held";
    const std::vector<std::string> expected = {
        "CreateFileA: port", "GetCommState: port", "SetCommState: port", "SetCommMask: port", "SetupComm: port",
        "PurgeComm: port", "SetCommTimeouts: port", "WriteFile: port", "ReadFile: port", line, line, line,
        "PurgeComm: no port", "CloseHandle: no port"};
    EXPECT_EQ(seen, expected);
}

class FailingCallTest : public CommFailureTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FailingCallTest, SendMakesEveryCallAndShowsWhatWasRead)
{
    const std::string failing = GetParam();
    device.failing = {failing};
    const std::string shown = SendOnce();
    EXPECT_EQ(device.calls, kSendCalls) << "the Send goes on past a failed " << failing;
    EXPECT_EQ(device.openHandles, 0);
    EXPECT_EQ(device.written, failing == "WriteFile" ? std::vector<BYTE>{} : kFrame);
    EXPECT_EQ(shown, kKept + (failing == "ReadFile" ? "" : LinesOf(kAnswer)));
}

INSTANTIATE_TEST_SUITE_P(EachCall, FailingCallTest,
                         ::testing::Values("GetCommState", "SetCommState", "SetCommMask", "SetupComm",
                                           "PurgeComm", "SetCommTimeouts", "WriteFile", "ReadFile",
                                           "CloseHandle"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST_F(CommFailureTest, FailedOpenEndsTheSendWithNothingShown)
{
    device.failing = {"CreateFileA"};
    EXPECT_EQ(SendOnce(), kKept);
    ASSERT_EQ(device.calls.size(), 1u);
    EXPECT_EQ(device.calls.front(), kSendCalls.front());
    EXPECT_EQ(device.openHandles, 0);
    EXPECT_EQ(device.incoming.size(), kAnswer.size()) << "nothing was read";
}

TEST_F(CommFailureTest, EveryCallAfterTheOpenFailingStillClosesTheDevice)
{
    device.failing = {"GetCommState", "SetCommState", "SetCommMask", "SetupComm", "PurgeComm",
                      "SetCommTimeouts", "WriteFile", "ReadFile", "CloseHandle"};
    EXPECT_EQ(SendOnce(), kKept);
    EXPECT_EQ(device.calls, kSendCalls);
    EXPECT_EQ(device.openHandles, 0);
}

TEST_F(CommFailureTest, ShortWriteAndShortReadShowOnlyWhatMoved)
{
    device.writeLimit = 1;
    device.readLimit = 2;
    EXPECT_EQ(SendOnce(), kKept + LinesOf({0x00, 0x80}));
    EXPECT_EQ(device.written, std::vector<BYTE>{0x01});
    EXPECT_EQ(device.calls, kSendCalls) << "the short write is not retried, the short read not repeated";
    EXPECT_EQ(device.openHandles, 0);
}

// A ReadFile that claims more than the 100 bytes it was asked for.
TEST_F(CommFailureTest, OverclaimedReadShowsAtMostTheHundredBytesOfTheBuffer)
{
    std::vector<BYTE> answer;
    for (int i = 0; i < 150; ++i)
        answer.push_back(static_cast<BYTE>(255 - i));
    device.incoming.assign(answer.begin(), answer.end());
    device.readClaim = 1000;
    EXPECT_EQ(SendOnce(), kKept + LinesOf({answer.begin(), answer.begin() + 100}));
    EXPECT_EQ(device.openHandles, 0);
}

TEST_F(CommFailureTest, OverclaimedShortReadShowsTheBytesThatCameAndAZeroedRest)
{
    device.readClaim = 150;
    std::vector<BYTE> buffer = kAnswer;
    buffer.resize(100, 0x00);
    EXPECT_EQ(SendOnce(), kKept + LinesOf(buffer)) << "never bytes from outside the receive buffer";
}

TEST_F(CommFailureTest, CountsThatAreNegativeAsIntShowNothing)
{
    for (DWORD claim : {DWORD{0x80000000}, MAXDWORD}) {
        NewDevice();
        device.readClaim = claim;
        EXPECT_EQ(SendOnce(), kKept) << "claimed " << claim;
        EXPECT_EQ(device.openHandles, 0);
    }
}

}  // namespace
