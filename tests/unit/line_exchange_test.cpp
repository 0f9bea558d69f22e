// The exchange's steps against the recording fake: a device that refuses the rate is written to by
// the dialog, as it always was, and not by the command, which is told why; a failed open is
// reported; the port is released only by its owner.
#include "fake_comm.h"
#include "line_exchange.h"

#include <gtest/gtest.h>

namespace {

using fake_comm::Concat;

std::string Words(DWORD error)
{
    return "code " + std::to_string(error);
}

TEST(LineExchangeTest, RefusedSettingsStopOnlyWhenAskedAndEveryFailureSaysItsStep)
{
    const transfer::Frame frame{0x7E, 0x81, 0x00, 0x00};
    fake_comm::Reset();
    fake_comm::Device().failing = {"SetCommState"};
    {
        CCommPort port("com1");
        const auto failure = transfer::TakePort(port, 19200, transfer::RefusedSettings::Stop, Words);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->step, transfer::PortStep::Settings);
        EXPECT_EQ(failure->reason, "code " + std::to_string(ERROR_GEN_FAILURE));
        EXPECT_EQ(fake_comm::Device().calls, fake_comm::kOpenCalls) << "the owner releases the port";
    }
    EXPECT_EQ(fake_comm::Device().calls, Concat(fake_comm::kOpenCalls, {fake_comm::kCloseCalls}));

    fake_comm::Reset();
    fake_comm::Device().failing = {"SetCommState"};
    fake_comm::Device().incoming = {0x41};
    {
        CCommPort port("com1");
        EXPECT_FALSE(transfer::TakePort(port, 19200, transfer::RefusedSettings::WriteAnyway).has_value());
        EXPECT_EQ(transfer::Exchange(port, frame, 2), std::vector<std::uint8_t>{0x41});
        EXPECT_EQ(fake_comm::Device().written, std::vector<BYTE>({0x7E, 0x81}));
        EXPECT_EQ(fake_comm::Device().openHandles, 1) << "held until the owner lets go";
    }
    EXPECT_EQ(fake_comm::Device().openHandles, 0);

    fake_comm::Reset();
    fake_comm::Device().failing = {"CreateFileA"};
    CCommPort port("com1");
    const auto failure = transfer::TakePort(port, 19200, transfer::RefusedSettings::Stop, Words);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->step, transfer::PortStep::Open);
    EXPECT_EQ(failure->error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(fake_comm::Device().calls.size(), 1u);
}

}  // namespace
