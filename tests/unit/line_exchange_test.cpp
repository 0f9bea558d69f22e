// The exchange against the recording fake: a device that refuses the rate is written to by the
// dialog, as it always was, and not by the command, which is told why; a failed open is reported.
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
    auto outcome = transfer::ExchangeOnLine("com1", 19200, frame, 2, transfer::RefusedSettings::Stop, Words);
    ASSERT_TRUE(outcome.failure.has_value());
    EXPECT_EQ(outcome.failure->step, transfer::PortStep::Settings);
    EXPECT_EQ(outcome.failure->reason, "code " + std::to_string(ERROR_GEN_FAILURE));
    EXPECT_EQ(fake_comm::Device().calls, Concat(fake_comm::kOpenCalls, {fake_comm::kCloseCalls}));

    fake_comm::Reset();
    fake_comm::Device().failing = {"SetCommState"};
    fake_comm::Device().incoming = {0x41};
    outcome = transfer::ExchangeOnLine("com1", 19200, frame, 2, transfer::RefusedSettings::WriteAnyway);
    EXPECT_FALSE(outcome.failure.has_value());
    EXPECT_EQ(outcome.received, std::vector<std::uint8_t>{0x41});
    EXPECT_EQ(fake_comm::Device().written, std::vector<BYTE>({0x7E, 0x81}));

    fake_comm::Reset();
    fake_comm::Device().failing = {"CreateFileA"};
    outcome = transfer::ExchangeOnLine("com1", 19200, frame, 2, transfer::RefusedSettings::Stop, Words);
    ASSERT_TRUE(outcome.failure.has_value());
    EXPECT_EQ(outcome.failure->step, transfer::PortStep::Open);
    EXPECT_EQ(outcome.failure->error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(fake_comm::Device().calls.size(), 1u);
}

}  // namespace
