// comN names, the device map, and opening what the map names.
#include "device_map.h"
#include "pty_port_fixture.h"

#include <fstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

TEST(ComPortNumberTest, AcceptsComOneToTwoFiftyFiveInAnyCaseWithOrWithoutDevicePrefix)
{
    EXPECT_EQ(ComPortNumber("com1"), 1u);
    EXPECT_EQ(ComPortNumber("COM1"), 1u);
    EXPECT_EQ(ComPortNumber("cOm12"), 12u);
    EXPECT_EQ(ComPortNumber("com255"), 255u);
    EXPECT_EQ(ComPortNumber("\\\\.\\COM3"), 3u);
    EXPECT_EQ(ComPortNumber("\\\\.\\com200"), 200u);
}

TEST(ComPortNumberTest, RefusesEverythingElse)
{
    for (const char* name : {"", "com", "com0", "com256", "com1000", "com01", "com1x", "com-1", "com 1", "lpt1",
                             "con", "/dev/ttyS0", "\\\\.\\", "\\\\?\\com1", ".\\com1", "xcom1"})
        EXPECT_FALSE(ComPortNumber(name).has_value()) << name;
}

TEST(DeviceMapFolderTest, FollowsXdgConfigHomeElseHomeConfig)
{
    const ScopedEnvironment home("HOME", "/home/someone");
    {
        const ScopedEnvironment config("XDG_CONFIG_HOME", "/elsewhere/config");
        EXPECT_EQ(DeviceMapFolder(), fs::path("/elsewhere/config/vornikal/dosdevices"));
    }
    {
        const ScopedEnvironment config("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(DeviceMapFolder(), fs::path("/home/someone/.config/vornikal/dosdevices"));
    }
    {
        const ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(DeviceMapFolder(), fs::path("/home/someone/.config/vornikal/dosdevices"));
        const ScopedEnvironment noHome("HOME", std::nullopt);
        EXPECT_FALSE(DeviceMapFolder().has_value());
    }
}

class ComPortDeviceTest : public ::testing::Test {
protected:
    ScopedConfigHome home;
};

TEST_F(ComPortDeviceTest, UnmappedPortIsTtySOfPortMinusOne)
{
    EXPECT_EQ(ComPortDevice(1), fs::path("/dev/ttyS0"));
    home.Map("com3", "/dev/ttyUSB0");
    EXPECT_EQ(ComPortDevice(2), fs::path("/dev/ttyS1"));
    EXPECT_EQ(ComPortDevice(255), fs::path("/dev/ttyS254"));
}

TEST_F(ComPortDeviceTest, MappedPortIsItsEntryWhateverItsSpelling)
{
    home.Map("COM2", "/dev/ttyUSB0");
    home.Map("Com7", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(ComPortDevice(2), home.MapFolder() / "COM2");
    EXPECT_EQ(ComPortDevice(7), home.MapFolder() / "Com7");
}

TEST_F(ComPortDeviceTest, LowerCaseEntryWinsOverOtherSpellings)
{
    home.Map("COM4", "/dev/ttyUSB1");
    home.Map("com4", "/dev/ttyUSB0");
    home.Map("Com4", "/dev/ttyUSB2");
    EXPECT_EQ(ComPortDevice(4), home.MapFolder() / "com4");
}

class MappedOpenTest : public PtyPortTest {};

TEST_F(MappedOpenTest, EverySpellingOfComOneOpensTheMappedDevice)
{
    for (const char* name : {"com1", "COM1", "Com1", "\\\\.\\COM1"}) {
        ScopedHandle port(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(port.Valid()) << name << ": error " << GetLastError();
        // The far end sees the bytes: it is this pseudo-terminal that was opened.
        DWORD written = 0;
        const COMMTIMEOUTS timeouts{};
        COMMTIMEOUTS record = timeouts;
        ASSERT_TRUE(SetCommTimeouts(port.Get(), &record));
        ASSERT_TRUE(WriteFile(port.Get(), name, 4, &written, nullptr));
        EXPECT_EQ(peer.Receive(4, std::chrono::seconds(2)), Bytes(name, name + 4)) << name;
    }
}

TEST_F(MappedOpenTest, MapEntryWithOtherSpellingIsFound)
{
    fs::remove(home.MapFolder() / "com1");
    home.Map("CoM1", peer.SlavePath());
    ScopedHandle port(CreateCom1());
    EXPECT_TRUE(port.Valid()) << "error " << GetLastError();
}

// Each map target that is no serial device: the open fails with the expected error and leaves no
// descriptor behind.
class UnusableMapEntryTest : public ::testing::Test {
protected:
    void ExpectOpenFails(const fs::path& target, DWORD expectedError)
    {
        home.Map("com1", target);
        const int descriptorsBefore = OpenDescriptorCount();
        SetLastError(ERROR_SUCCESS);
        HANDLE handle = CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(handle, INVALID_HANDLE_VALUE) << target;
        EXPECT_EQ(GetLastError(), expectedError) << target;
        EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore) << target;
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }

    ScopedConfigHome home;
    fs::path scratch = MakeTemporaryFolder();

    ~UnusableMapEntryTest() override { fs::remove_all(scratch); }
};

TEST_F(UnusableMapEntryTest, MissingPath)
{
    ExpectOpenFails(scratch / "no-such-device", ERROR_FILE_NOT_FOUND);
}

TEST_F(UnusableMapEntryTest, DanglingSymlink)
{
    fs::create_symlink(scratch / "gone", scratch / "dangling");
    ExpectOpenFails(scratch / "dangling", ERROR_FILE_NOT_FOUND);
}

TEST_F(UnusableMapEntryTest, CharacterDeviceThatIsNoTerminal)
{
    ExpectOpenFails("/dev/null", ERROR_FILE_NOT_FOUND);
}

TEST_F(UnusableMapEntryTest, RegularFile)
{
    std::ofstream(scratch / "file") << "not a device";
    ExpectOpenFails(scratch / "file", ERROR_FILE_NOT_FOUND);
    std::ifstream back(scratch / "file");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), "not a device");
}

TEST_F(UnusableMapEntryTest, Fifo)
{
    ASSERT_EQ(mkfifo((scratch / "fifo").c_str(), 0600), 0);
    ExpectOpenFails(scratch / "fifo", ERROR_FILE_NOT_FOUND);
}

TEST_F(UnusableMapEntryTest, Directory)
{
    ExpectOpenFails(scratch, ERROR_FILE_NOT_FOUND);
}

TEST(NonPortNameTest, NamesOtherThanComNAreNotFound)
{
    const ScopedConfigHome home;
    for (const char* name : {"lpt1", "/dev/ttyS0", "/dev/null", "com0", ""}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE)
            << name;
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << name;
    }
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
