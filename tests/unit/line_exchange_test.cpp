// The exchange's steps against the recording fake: a device that refuses the rate is written to by
// the dialog, as it always was, and found out by the command's check; a failed open is reported;
// the Send's window is one read of its size; the port is released only by its owner.
#include "fake_comm.h"
#include "line_exchange.h"

#include <gtest/gtest.h>

namespace {

using fake_comm::Concat;

std::string Words(DWORD error)
{
    return "code " + std::to_string(error);
}

TEST(LineExchangeTest, RefusedSettingsAreFoundByTheCheckAndEveryFailureSaysItsStep)
{
    const std::vector<std::uint8_t> frame{0x7E, 0x81};
    fake_comm::Reset();
    fake_comm::Device().reported = fake_comm::DistinctDcb();
    fake_comm::Device().failing = {"SetCommState"};
    fake_comm::Device().incoming = {0x41};
    {
        CCommPort port("com1");
        EXPECT_FALSE(transfer::TakePort(port, 19200, Words).has_value()) << "the open itself succeeded";
        const auto failure = transfer::CheckSettings(port, 19200, Words);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->step, transfer::PortStep::Settings);
        EXPECT_EQ(failure->reason, "code " + std::to_string(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(transfer::Exchange(port, frame).received, std::vector<std::uint8_t>{0x41});
        EXPECT_EQ(fake_comm::Device().written, frame) << "the dialog writes all the same";
        EXPECT_EQ(fake_comm::Device().openHandles, 1) << "held until the owner lets go";
    }
    EXPECT_EQ(fake_comm::Device().openHandles, 0);

    fake_comm::Reset();
    {
        CCommPort port("com1");
        ASSERT_FALSE(transfer::TakePort(port, 19200, Words).has_value());
        EXPECT_FALSE(transfer::CheckSettings(port, 19200, Words).has_value()) << "a device that took them";
        fake_comm::Device().failing = {"GetCommState"};
        EXPECT_EQ(transfer::CheckSettings(port, 19200, Words)->error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    }

    fake_comm::Reset();
    fake_comm::Device().failing = {"CreateFileA"};
    CCommPort port("com1");
    const auto failure = transfer::TakePort(port, 19200, Words);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->step, transfer::PortStep::Open);
    EXPECT_EQ(failure->error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(fake_comm::Device().calls.size(), 1u);
}

// The Send's window is one read of kReceiveSize, whatever it brings; a window of more bytes than
// have come ends at the bytes asked for, and a short write is reported.
TEST(LineExchangeTest, TheSendsWindowIsOneReadOfItsSize)
{
    for (const std::size_t arriving : {0u, 3u, 100u, 150u}) {
        fake_comm::Reset();
        fake_comm::Device().incoming.assign(arriving, 0x55);
        CCommPort port("com1");
        ASSERT_FALSE(transfer::TakePort(port, 19200).has_value());
        fake_comm::Device().calls.clear();
        const transfer::ExchangeResult result = transfer::Exchange(port, {});
        EXPECT_EQ(result.received.size(), std::min<std::size_t>(arriving, transfer::kReceiveSize));
        EXPECT_EQ(fake_comm::Device().calls,
                  (fake_comm::Calls{"WriteFile(h, 0, null)", "ReadFile(h, " + std::to_string(transfer::kReceiveSize) + ", null)"}))
            << arriving << " bytes arriving";
    }

    fake_comm::Reset();
    fake_comm::Device().incoming.assign(4096, 0xAA);
    fake_comm::Device().readLimit = 1000;
    fake_comm::Device().writeLimit = 3000;
    CCommPort port("com1");
    ASSERT_FALSE(transfer::TakePort(port, 19200).has_value());
    const std::vector<std::uint8_t> frame(4096, 0x01);
    const transfer::ExchangeResult result = transfer::Exchange(port, frame, {4096, 60000});
    EXPECT_EQ(result.written, 3000);
    EXPECT_EQ(result.received.size(), 4096u) << "reads go on until the bytes asked for came";
}

}  // namespace
