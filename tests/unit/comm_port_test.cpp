// CCommPort against the recording fake of the comm calls: the exact calls, their order and values.
#include "comm_port.h"
#include "fake_comm.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using fake_comm::Calls;
using fake_comm::Concat;
using fake_comm::kCloseCalls;
using fake_comm::kOpenCalls;

class CommPortTest : public ::testing::Test {
protected:
    void SetUp() override { fake_comm::Reset(); }
    fake_comm::State& device = fake_comm::Device();
};

TEST_F(CommPortTest, OpenMakesTheCallsInOrderAndCloseReleasesTheDevice)
{
    auto port = std::make_unique<CCommPort>("com1");
    EXPECT_TRUE(device.calls.empty()) << "construction touches no device";
    EXPECT_EQ(port->Open(CBR_56000), 1);
    EXPECT_EQ(device.calls, kOpenCalls);
    EXPECT_EQ(device.openHandles, 1);
    port.reset();
    EXPECT_EQ(device.calls, Concat(kOpenCalls, {kCloseCalls}));
    EXPECT_EQ(device.openHandles, 0);
}

TEST_F(CommPortTest, OpenChangesOnlyFramingRateAndHardwareLines)
{
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_14400), 1);

    DCB expected = fake_comm::DistinctDcb();
    expected.BaudRate = 14400;
    expected.ByteSize = 8;
    expected.Parity = NOPARITY;
    expected.StopBits = ONESTOPBIT;
    expected.fBinary = 1;
    expected.fOutxCtsFlow = 0;
    expected.fOutxDsrFlow = 0;
    expected.fDtrControl = DTR_CONTROL_DISABLE;
    expected.fRtsControl = RTS_CONTROL_DISABLE;
    EXPECT_EQ(std::memcmp(&device.applied, &expected, sizeof expected), 0)
        << "software flow control, parity checking and special characters stay as read";
    EXPECT_EQ(device.applied.fOutX, 1u);
    EXPECT_EQ(device.applied.XoffChar, 0x13);

    EXPECT_EQ(device.timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(device.timeouts.ReadTotalTimeoutMultiplier, kReadMsPerByte);
    EXPECT_EQ(device.timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(device.timeouts.WriteTotalTimeoutMultiplier, 1u);
    EXPECT_EQ(device.timeouts.WriteTotalTimeoutConstant, 0u);
}

TEST_F(CommPortTest, UnreadableSettingsAreReplacedByAZeroedRecord)
{
    device.failing = {"GetCommState"};
    CCommPort port("com1");
    EXPECT_EQ(port.Open(CBR_19200), 1) << "settings results are ignored once the device is open";

    DCB expected;
    std::memset(&expected, 0, sizeof expected);
    expected.DCBlength = sizeof expected;
    expected.BaudRate = 19200;
    expected.ByteSize = 8;
    expected.fBinary = 1;
    EXPECT_EQ(std::memcmp(&device.applied, &expected, sizeof expected), 0);
}

TEST_F(CommPortTest, EverySettingsCallMayFailWithoutChangingTheOutcome)
{
    for (const char* call : {"SetCommState", "SetCommMask", "SetupComm", "PurgeComm", "SetCommTimeouts"}) {
        fake_comm::Reset();
        device.failing = {call};
        {
            CCommPort port("com1");
            EXPECT_EQ(port.Open(CBR_38400), 1) << call;
        }
        EXPECT_EQ(device.calls, Concat(kOpenCalls, {kCloseCalls})) << call;
        EXPECT_EQ(device.openHandles, 0) << call;
    }
}

TEST_F(CommPortTest, APortThatHoldsNoDeviceTouchesNone)
{
    { CCommPort neverOpened("com1"); }
    EXPECT_TRUE(device.calls.empty());

    device.failing = {"CreateFileA"};
    {
        CCommPort failed("com1");
        EXPECT_EQ(failed.Open(CBR_57600), 0);
    }
    EXPECT_EQ(device.calls, Calls{kOpenCalls.front()}) << "nothing after the failed open";
    EXPECT_EQ(device.openHandles, 0);
}

TEST_F(CommPortTest, ANameThatDoesNotFitIsRefusedNotShortened)
{
    const std::string nineteen(19, 'c');
    {
        CCommPort fits(nineteen.c_str());
        EXPECT_EQ(fits.Open(CBR_19200), 1);
    }
    EXPECT_EQ(device.calls.front().find("CreateFileA(\"" + nineteen + "\""), 0u);

    for (const std::string& name : {std::string(20, 'c'), std::string("com1") + std::string(400, ' ')}) {
        fake_comm::Reset();
        CCommPort tooLong(name.c_str());
        EXPECT_EQ(tooLong.Open(CBR_19200), 0);
        EXPECT_TRUE(device.calls.empty()) << "no device is touched for a name of " << name.size();
    }
}

TEST_F(CommPortTest, WriteAndReadReportWhatThePlatformMoved)
{
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    device.calls.clear();

    const BYTE frame[4] = {0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(port.Write(frame, 2), 2);
    EXPECT_EQ(device.written, (std::vector<BYTE>{0x01, 0x02}));
    EXPECT_EQ(port.Write(frame, 0), 0);
    device.writeLimit = 1;
    EXPECT_EQ(port.Write(frame, 4), 1) << "a short write reports the short count";

    device.incoming = {0x00, 0x80, 0xFF};
    BYTE buffer[100] = {};
    EXPECT_EQ(port.Read(buffer, 100), 3);
    EXPECT_EQ(buffer[1], 0x80);
    EXPECT_EQ(port.Read(buffer, 100), 0);
    EXPECT_EQ(device.calls, (Calls{"WriteFile(h, 2, null)", "WriteFile(h, 0, null)", "WriteFile(h, 4, null)",
                                   "ReadFile(h, 100, null)", "ReadFile(h, 100, null)"}));
}

TEST_F(CommPortTest, FailedTransfersAndNegativeCountsMoveNothing)
{
    CCommPort port("com1");
    ASSERT_EQ(port.Open(CBR_19200), 1);
    device.calls.clear();
    device.failing = {"WriteFile", "ReadFile"};
    device.incoming = {0x41};
    BYTE buffer[4] = {};
    EXPECT_EQ(port.Write(buffer, 4), 0);
    EXPECT_EQ(port.Read(buffer, 4), 0);

    device.failing.clear();
    EXPECT_EQ(port.Write(buffer, -1), 0);
    EXPECT_EQ(port.Read(buffer, -1), 0);
    EXPECT_EQ(device.calls.size(), 2u) << "a negative count never reaches the platform";
    EXPECT_TRUE(device.written.empty());
}

}  // namespace
