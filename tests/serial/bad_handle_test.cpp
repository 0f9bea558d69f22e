// Handles that name no open device, and missing out-parameters: FALSE with an error, no crash.
#include "pty_port_fixture.h"

#include <cstdint>
#include <string>

namespace {

void ExpectEveryCallRefuses(HANDLE handle, const std::string& what)
{
    DCB dcb{};
    COMMTIMEOUTS timeouts{};
    char buffer[4] = {};
    DWORD count = 0;
    auto expectInvalid = [&](BOOL result, const char* call) {
        EXPECT_FALSE(result) << call << " on " << what;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << call << " on " << what;
        SetLastError(ERROR_SUCCESS);
    };
    expectInvalid(GetCommState(handle, &dcb), "GetCommState");
    expectInvalid(SetCommState(handle, &dcb), "SetCommState");
    expectInvalid(SetCommMask(handle, EV_RXCHAR), "SetCommMask");
    expectInvalid(SetupComm(handle, 4096, 4096), "SetupComm");
    expectInvalid(PurgeComm(handle, 0x0F), "PurgeComm");
    expectInvalid(SetCommTimeouts(handle, &timeouts), "SetCommTimeouts");
    expectInvalid(GetCommTimeouts(handle, &timeouts), "GetCommTimeouts");
    expectInvalid(WriteFile(handle, buffer, 4, &count, nullptr), "WriteFile");
    expectInvalid(ReadFile(handle, buffer, 4, &count, nullptr), "ReadFile");
    expectInvalid(CloseHandle(handle), "CloseHandle");
}

class BadHandleTest : public PtyPortTest {};

TEST_F(BadHandleTest, HandlesOfNoDeviceAreRefused)
{
    ExpectEveryCallRefuses(nullptr, "null");
    ExpectEveryCallRefuses(INVALID_HANDLE_VALUE, "INVALID_HANDLE_VALUE");
    ExpectEveryCallRefuses(reinterpret_cast<HANDLE>(std::uintptr_t{0x1234}), "a made-up value");
}

TEST_F(BadHandleTest, ClosedHandleIsRefusedAndNotReusedForTheNextDevice)
{
    HANDLE closed = CreateCom1();
    ASSERT_NE(closed, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(closed));
    ScopedHandle next(CreateCom1());
    ASSERT_TRUE(next.Valid());
    EXPECT_NE(next.Get(), closed);
    ExpectEveryCallRefuses(closed, "a closed handle");
    DCB dcb{};
    EXPECT_TRUE(GetCommState(next.Get(), &dcb)) << "the open device is untouched";
}

TEST_F(BadHandleTest, MissingRecordsAndCountsAreInvalidParameters)
{
    ScopedHandle port(CreateCom1());
    ASSERT_TRUE(port.Valid());
    char buffer[4] = {};
    DWORD count = 0;
    auto expectInvalidParameter = [](BOOL result, const char* call) {
        EXPECT_FALSE(result) << call;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << call;
    };
    expectInvalidParameter(GetCommState(port.Get(), nullptr), "GetCommState");
    expectInvalidParameter(SetCommState(port.Get(), nullptr), "SetCommState");
    expectInvalidParameter(SetCommTimeouts(port.Get(), nullptr), "SetCommTimeouts");
    expectInvalidParameter(GetCommTimeouts(port.Get(), nullptr), "GetCommTimeouts");
    expectInvalidParameter(ReadFile(port.Get(), buffer, 4, nullptr, nullptr), "ReadFile without count");
    expectInvalidParameter(ReadFile(port.Get(), nullptr, 4, &count, nullptr), "ReadFile without buffer");
    expectInvalidParameter(WriteFile(port.Get(), buffer, 4, nullptr, nullptr), "WriteFile without count");
    expectInvalidParameter(WriteFile(port.Get(), nullptr, 4, &count, nullptr), "WriteFile without buffer");
    expectInvalidParameter(PurgeComm(port.Get(), 0x10), "PurgeComm with an unknown flag");
}

TEST_F(BadHandleTest, TimeoutRecordIsStoredAndReturned)
{
    ScopedHandle port(CreateCom1());
    ASSERT_TRUE(port.Valid());
    COMMTIMEOUTS set{1, 2, 3, 4, 5};
    ASSERT_TRUE(SetCommTimeouts(port.Get(), &set));
    COMMTIMEOUTS got{};
    ASSERT_TRUE(GetCommTimeouts(port.Get(), &got));
    EXPECT_EQ(got.ReadIntervalTimeout, 1u);
    EXPECT_EQ(got.ReadTotalTimeoutMultiplier, 2u);
    EXPECT_EQ(got.ReadTotalTimeoutConstant, 3u);
    EXPECT_EQ(got.WriteTotalTimeoutMultiplier, 4u);
    EXPECT_EQ(got.WriteTotalTimeoutConstant, 5u);
}

}  // namespace
