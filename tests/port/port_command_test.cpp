// vornikal-port as a user runs it: the listing and the mapping against a fake /sys and /dev whose
// devices are real pseudo-terminals, and its refusals. No listing here reads the real /sys: on
// these machines /dev/ttyS0 is the console, and nothing may open it.
#include "config_home.h"
#include "fake_system.h"
#include "port_run.h"
#include "process_tools.h"
#include "program_command.h"
#include "pty_line.h"
#include "uucp_lock.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const UsbAdapter kFtdi{"ttyUSB0", "ftdi_sio", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                       "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"};
const std::string kById = "/dev/serial/by-id/" + kFtdi.byId;

// Through an open of its own, as another program would; the master, held by the peer, keeps the
// pseudo-terminal and its settings alive between opens.
bool SoftwareFlowControlOn(const std::string& device)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    EXPECT_EQ(tcgetattr(fd, &settings), 0) << device;
    close(fd);
    return (settings.c_iflag & (IXON | IXOFF)) != 0;
}

// As Linux leaves a fresh serial port.
void TurnSoftwareFlowControlOn(const std::string& device)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    ASSERT_EQ(tcgetattr(fd, &settings), 0) << device;
    settings.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &settings), 0);
    close(fd);
}

// Whether anything opened a file since the watch began (inotify sees opens, not looks).
class OpenWatch {
public:
    explicit OpenWatch(const std::string& path) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(inotify_add_watch(m_fd, path.c_str(), IN_OPEN), 0) << path;
    }
    ~OpenWatch() { close(m_fd); }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    // The program ran to its end before this is asked, so its events are queued already.
    bool Opened() const
    {
        alignas(inotify_event) char events[4096];
        return read(m_fd, events, sizeof events) > 0;
    }

private:
    int m_fd;
};

// The block of the listing that starts with the line `head`, up to the blank line after it.
std::string Block(const std::string& listing, const std::string& head)
{
    const auto start = listing.find(head + "\n");
    if (start == std::string::npos)
        return {};
    return listing.substr(start, listing.find("\n\n", start) - start);
}

class PortCommandTest : public ::testing::Test {
protected:
    PortCommandTest()
    {
        system.AddAbsentUart("ttyS0");
        system.AddAbsentUart("ttyS1");
        system.AddUsbAdapter(kFtdi, adapter.SlavePath());
        TurnSoftwareFlowControlOn(adapter.SlavePath());
        fs::create_directories(mapFolder);
    }

    PortRun Port(std::vector<std::string> arguments, PortRunOptions options = {})
    {
        arguments.insert(arguments.begin(), {"--map-dir", mapFolder.string()});
        options.root = system.Root();
        return RunPort(arguments, options);
    }

    FakeSystem system;
    PtyLine adapter;
    ScopedConfigHome home;
    fs::path mapFolder = home.MapFolder();
};

TEST_F(PortCommandTest, ListsTheAdapterWithoutOpeningItChecksItOnRequestMapsByIdAndTurnsXonXoffOff)
{
    const OpenWatch watch(adapter.SlavePath());
    PortRun listing = Port({});
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_FALSE(watch.Opened()) << "a listing opens no device: that raises DTR and RTS";
    EXPECT_EQ(Block(listing.out, kById), kById + "\n"
              "  kernel name  ttyUSB0 (/dev/ttyUSB0)\n"
              "  driver       ftdi_sio, USB 0403:6001 FTDI FT232R USB UART, serial A50285BI\n"
              "  may open     yes\n"
              "  in use       no\n"
              "  XON/XOFF     not read, as that opens the device: vornikal-port --check " + kById + "\n"
              "  com port     none")
        << listing.out;
    EXPECT_EQ(listing.out.find("/dev/ttyS0\n"), std::string::npos) << "an absent UART is never offered";
    EXPECT_NE(listing.out.find("Not offered: ttyS0, ttyS1 (UART ports the kernel registered with no hardware"),
              std::string::npos) << listing.out;
    EXPECT_NE(listing.out.find("com1 now means /dev/ttyS0 (no map entry in " + mapFolder.string() +
                               "), and a Send will not work:\n  - it is a UART port with no hardware behind it\n"),
              std::string::npos) << listing.out;

    const PortRun check = Port({"--check", "ttyUSB0"});
    EXPECT_EQ(check.exitCode, 1) << check.err;
    EXPECT_TRUE(watch.Opened());
    EXPECT_NE(check.out.find("  XON/XOFF     on: 0x11 and 0x13 vanish from answers, and a 0x13 received stops the "
                             "output\n               fix: vornikal-port --no-xonxoff comN /dev/ttyUSB0\n"),
              std::string::npos) << check.out;
    EXPECT_TRUE(check.out.ends_with("\nttyUSB0: a Send will not work:\n  - XON/XOFF is on, so 0x11 and 0x13 vanish "
                                    "from answers\n")) << check.out;

    // Given by its kernel name, mapped by the name that survives replugging; an older entry spelled
    // otherwise goes.
    fs::create_symlink("/dev/ttyUSB7", mapFolder / "COM1");
    const PortRun mapped = Port({"--no-xonxoff", "COM1", "ttyUSB0"});
    ASSERT_EQ(mapped.exitCode, 0) << mapped.err;
    EXPECT_EQ(mapped.out, "com1 -> " + kById + " (/dev/ttyUSB0)\n  in " + mapFolder.string() +
                              "\nXON/XOFF is off on /dev/ttyUSB0 now; it holds until the adapter is replugged or "
                              "the machine restarts.\n");
    EXPECT_EQ(fs::read_symlink(mapFolder / "com1"), fs::path(kById));
    EXPECT_FALSE(fs::exists(fs::symlink_status(mapFolder / "COM1")));
    EXPECT_FALSE(SoftwareFlowControlOn(adapter.SlavePath()));

    listing = Port({});
    EXPECT_NE(Block(listing.out, kById).find("  com port     com1"), std::string::npos) << listing.out;
    EXPECT_NE(listing.out.find("com1 -> " + kById + ": ttyUSB0, listed above\n"), std::string::npos) << listing.out;
    EXPECT_NE(listing.out.find("com1 now means " + kById + " (map entry " + (mapFolder / "com1").string() +
                               "): ready for a Send, if XON/XOFF is off (vornikal-port --check com1 reads it).\n"),
              std::string::npos) << listing.out;
    const PortRun ready = Port({"--check", "com1"});
    EXPECT_EQ(ready.exitCode, 0) << ready.out << ready.err;
    EXPECT_TRUE(ready.out.ends_with("  XON/XOFF     off\n  com port     com1\n\ncom1: ready for a Send.\n")) << ready.out;

    const PortRun cleared = Port({"com1", "--clear"});
    EXPECT_EQ(cleared.exitCode, 0) << cleared.err;
    EXPECT_EQ(cleared.out, "com1 is no longer mapped; it means /dev/ttyS0\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(mapFolder / "com1")));
}

TEST_F(PortCommandTest, ADeviceThisUserMayNotOpenIsExplainedWithItsFixAndNotMapped)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to run the command as another user";
    // The command itself is copied where anyone may run it; an emulator and its target tree are not.
    const std::vector<std::string> emulator = ProgramCommand({});
    if (!emulator.empty())
        if (const auto closed = FolderClosedToOthers(emulator.front()))
            GTEST_SKIP() << "the emulator " << emulator.front() << " sits below " << *closed
                         << ", which other users may not enter, so it cannot run the command as nobody";
    PtyLine modem;
    system.AddAcmDevice("ttyACM0", modem.SlavePath());
    ASSERT_EQ(chown(modem.SlavePath().c_str(), 0, 20), 0);  // root:dialout, as udev leaves it
    ASSERT_EQ(chmod(modem.SlavePath().c_str(), 0660), 0);
    fs::permissions(home.Root(), fs::perms::all);
    fs::permissions(mapFolder, fs::perms::all);

    const PortRun listing = Port({}, {.root = std::nullopt, .asNobody = true});
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_NE(Block(listing.out, "/dev/ttyACM0").find(
                  "  driver       cdc_acm, USB 2341:0043\n"
                  "  may open     no: it belongs to group dialout (crw-rw---- root:dialout) and you are not in that group\n"
                  "               fix: sudo usermod -aG dialout \"$USER\", then log out and in again\n"
                  "  in use       no\n"
                  "  XON/XOFF     not read: you may not open it\n"),
              std::string::npos)
        << listing.out;

    const PortRun refused = Port({"com2", "/dev/ttyACM0"}, {.root = std::nullopt, .asNobody = true});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "vornikal-port: you may not open /dev/ttyACM0: it belongs to group dialout (crw-rw---- "
                           "root:dialout) and you are not in that group\n"
                           "  fix: sudo usermod -aG dialout \"$USER\", then log out and in again\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(mapFolder / "com2")));
}

TEST(BoardUartTest, APisUartsShowByAliasWithWhatKeepsASendFromWorkingAndThePiWaysToFixIt)
{
    const ScopedConfigHome home;
    const std::string mapDir = home.MapFolder().string();
    const std::string piConsoleFix =
        "               fix: turn the serial console off: sudo raspi-config, Interface Options, Serial Port, login "
        "shell No, hardware Yes; or remove console=serial0,115200 from /boot/firmware/cmdline.txt; then reboot\n";
    const std::string piBluetoothFix =
        "add dtoverlay=disable-bt (Bluetooth off; also sudo systemctl disable hciuart) or dtoverlay=miniuart-bt "
        "(Bluetooth on the mini UART) to /boot/firmware/config.txt, then reboot";

    // Raspberry Pi OS on a Pi 4: the mini UART on the header carries the serial console, and the
    // PL011 went to Bluetooth through the serial device bus, leaving no tty.
    FakeSystem pi4;
    PtyLine miniUart;
    pi4.SetModel("Raspberry Pi 4 Model B Rev 1.4");
    pi4.AddBoardUart("fe215040.serial", "ttyS0", "bcm2835-aux-uart", miniUart.SlavePath(), "serial0");
    pi4.SetConsoles("ttyS0 tty1");
    pi4.AddBluetoothUart("fe201000.serial", "uart-pl011", "hci_uart_bcm");
    const PortRun listing = RunPort({"--map-dir", mapDir}, {.root = pi4.Root()});
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_EQ(Block(listing.out, "/dev/serial0"), "/dev/serial0\n"
              "  kernel name  ttyS0 (/dev/ttyS0)\n"
              "  driver       bcm2835-aux-uart, the Pi's mini UART\n"
              "  may open     yes\n"
              "  in use       by the kernel's console\n" + piConsoleFix +
              "  XON/XOFF     not read: it is the system console\n"
              "  com port     com1 (no map entry)") << listing.out;
    EXPECT_NE(listing.out.find("Taken by Bluetooth: fe201000.serial (ARM PL011 UART) belongs to the Bluetooth driver "
                               "hci_uart_bcm and has no device node.\n  To use it: " + piBluetoothFix + "\n"),
              std::string::npos) << listing.out;
    EXPECT_EQ(listing.out.find("UART on the header"), std::string::npos) << listing.out;
    const PortRun mapped = RunPort({"--map-dir", mapDir, "com1", "/dev/ttyS0"}, {.root = pi4.Root()});
    ASSERT_EQ(mapped.exitCode, 0) << mapped.err;
    EXPECT_TRUE(mapped.out.starts_with("com1 -> /dev/serial0 (/dev/ttyS0)\n")) << mapped.out;
    EXPECT_NE(mapped.out.find("  note: /dev/ttyS0 is the system console"), std::string::npos) << mapped.out;
    EXPECT_EQ(fs::read_symlink(home.MapFolder() / "com1"), fs::path("/dev/serial0"));

    // An older Pi 3 setup: hciattach holds the PL011 (serial1) for Bluetooth, and the header's UART
    // is off, its mini UART a ttyS0 with nothing behind it.
    FakeSystem pi3;
    PtyLine pl011;
    pi3.SetModel("Raspberry Pi 3 Model B Plus Rev 1.3");
    pi3.AddAbsentUart("ttyS0");
    pi3.AddBoardUart("3f201000.serial", "ttyAMA0", "uart-pl011", pl011.SlavePath(), "serial1");
    const ProgramHolding attach("hciattach", pl011.SlavePath());
    const std::string holder = attach.Text();
    const PortRun older = RunPort({"--map-dir", mapDir}, {.root = pi3.Root()});
    ASSERT_EQ(older.exitCode, 0) << older.err;
    EXPECT_NE(Block(older.out, "/dev/serial1").find(
                  "  driver       uart-pl011, ARM PL011 UART\n  may open     yes\n  in use       by " + holder +
                  "\n               fix: " + piBluetoothFix + "\n  XON/XOFF     not read: Bluetooth has it\n"),
              std::string::npos) << older.out;
    EXPECT_NE(older.out.find("The UART on the header (GPIO14 and 15) is off: there is no /dev/serial0.\n  To use it: "
                             "add enable_uart=1 to /boot/firmware/config.txt (or sudo raspi-config, Interface "
                             "Options, Serial Port, hardware Yes), then reboot\n"),
              std::string::npos) << older.out;
    const PortRun check = RunPort({"--map-dir", mapDir, "--check", "/dev/serial1"}, {.root = pi3.Root()});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_TRUE(check.out.ends_with("/dev/serial1: a Send will not work:\n  - Bluetooth has it: " + holder + "\n"))
        << check.out;
}

// What takes a port behind the user's back, each named with its fix: ModemManager probing a
// board, a live lock file, and brltty holding a CH340 adapter that therefore has no tty.
TEST_F(PortCommandTest, ModemManagerALockFileAndBrlttyAreNamedWithTheirFixes)
{
    PtyLine board;
    system.AddAcmDevice("ttyACM0", board.SlavePath());
    system.SetUdevRecord(board.SlavePath(), "");
    const ProgramHolding modemManager("ModemManager", board.SlavePath());
    const auto fix = [](const std::string& vendor, const std::string& product) {
        return "               fix: keep ModemManager off it: put this line in "
               "/etc/udev/rules.d/99-vornikal-modemmanager.rules\n"
               "                      ACTION==\"add|change\", SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"" + vendor +
               "\", ATTRS{idProduct}==\"" + product + "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n"
               "                    then run 'sudo udevadm control --reload-rules' and plug the adapter in again;\n"
               "                    or stop ModemManager: sudo systemctl stop ModemManager\n";
    };
    // Programs lock the name they were given: here the by-id name of the FTDI adapter.
    const ProgramHolding minicom("minicom", "/dev/null");
    fs::create_directories(system.Root() / "run/lock");
    std::ofstream(system.Root() / "run/lock" / ("LCK..serial_by-id_" + kFtdi.byId)) << std::setw(10) << minicom.Pid() << "\n";
    const std::string locker = "minicom (pid " + std::to_string(minicom.Pid()) + ", lock file /run/lock/LCK..serial_by-id_" +
                               kFtdi.byId + ")";
    system.AddTtylessUsbDevice("1-4", {"", "", "1a86", "7523", "QinHeng Electronics", "USB Serial", "", ""}, "usbfs");
    system.AddUdevRules("85-brltty.rules", "# Device: 1A86:7523\n"
                                           "ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\", "
                                           "GOTO=\"brltty_usb_run\"\n");

    const PortRun listing = Port({});
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_NE(Block(listing.out, "/dev/ttyACM0").find("  in use       by " + modemManager.Text() + "\n" + fix("2341", "0043")),
              std::string::npos) << listing.out;
    EXPECT_NE(Block(listing.out, kById).find("  in use       by " + locker + "\n"), std::string::npos) << listing.out;
    EXPECT_NE(listing.out.find("USB 1a86:7523 QinHeng Electronics USB Serial, plugged in at 1-4, has no tty:\n"
                               "  brltty took it: its udev rules (/usr/lib/udev/rules.d/85-brltty.rules) claim "
                               "1a86:7523 for a braille display\n"
                               "  fix: if you use no braille display, remove it: sudo apt remove brltty;"),
              std::string::npos) << listing.out;

    const PortRun probed = Port({"--check", "ttyACM0"});
    EXPECT_EQ(probed.exitCode, 1);
    EXPECT_TRUE(probed.out.ends_with("ttyACM0: a Send will not work:\n  - " + modemManager.Text() +
                                     " has it open, probing it for a modem\n")) << probed.out;
    const PortRun locked = Port({"--check", "ttyUSB0"});
    EXPECT_NE(locked.out.find("  - it is locked by " + locker + "\n"), std::string::npos) << locked.out;

    // --check counts holders as the open does: a lock by the device's number with no PID in it yet,
    // and a holder whose name would steer the terminal, which is shown escaped.
    fs::remove(system.Root() / "run/lock" / ("LCK..serial_by-id_" + kFtdi.byId));
    struct stat node {};
    stat(adapter.SlavePath().c_str(), &node);
    const std::string numberLock = DeviceNumberLockName(node.st_rdev);
    std::ofstream(system.Root() / "run/lock" / numberLock).flush();
    const ProgramHolding steering("\x1b[2J", adapter.SlavePath());
    const PortRun young = Port({"--check", "ttyUSB0"});
    EXPECT_NE(young.out.find("  - it is locked by a lock file with no PID in it yet (/run/lock/" + numberLock + ")\n"),
              std::string::npos) << young.out;
    EXPECT_NE(young.out.find("  - another program has it open: \\x1b[2J (pid " + std::to_string(steering.Pid()) + ")\n"),
              std::string::npos) << young.out;
    EXPECT_EQ(young.out.find('\x1b'), std::string::npos) << young.out;

    // ModemManager runs: an adapter udev has not put out of its reach may be taken when plugged in.
    system.SetUdevRecord(adapter.SlavePath(), "");
    const PortRun unheld = Port({"--check", "/dev/ttyUSB0"});
    EXPECT_NE(unheld.out.find("  ModemManager may open it for a few seconds after it is plugged in, to probe for a modem\n" +
                              fix(kFtdi.vendorId, kFtdi.productId)),
              std::string::npos) << unheld.out;
    const PortRun gone = Port({"--check", "ttyUSB1"});
    EXPECT_NE(gone.err.find("USB 1a86:7523 QinHeng Electronics USB Serial, plugged in at 1-4, has no tty:"),
              std::string::npos) << "an adapter asked for by name that got no tty is shown: " << gone.err;
}

TEST(PortOnAPseudoTerminalTest, MapsThePathAsGivenAndTurnsXonXoffOff)
{
    const ScopedConfigHome home;
    PtyLine line;
    TurnSoftwareFlowControlOn(line.SlavePath());
    const PortRun mapped = RunPort({"--no-xonxoff", "com7", line.SlavePath()});
    ASSERT_EQ(mapped.exitCode, 0) << mapped.err;
    EXPECT_EQ(fs::read_symlink(home.MapFolder() / "com7"), fs::path(line.SlavePath())) << "no by-id name: as given";
    EXPECT_FALSE(SoftwareFlowControlOn(line.SlavePath()));
}

TEST(PortRefusalTest, UsageErrorsExitTwoAndRequestsThatCannotBeDoneExitOne)
{
    const ScopedConfigHome home;
    const fs::path notAFolder = home.Root() / "file";
    std::ofstream(notAFolder) << "";
    PtyLine line;
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string error;
    } cases[] = {
        {{"com0", "/dev/null"}, 2, "vornikal-port: 'com0' is not a port name: com1 to com255\n"},
        {{"lpt1", "--clear"}, 2, "vornikal-port: 'lpt1' is not a port name: com1 to com255\n"},
        {{"com1"}, 2, "vornikal-port: missing DEVICE after com1\n"},
        {{"--baud", "9600"}, 2, "vornikal-port: unknown option '--baud'\n"},
        {{"--no-xonxoff"}, 2, "vornikal-port: --no-xonxoff needs a port and a device\n"},
        {{"com1", "/dev/ttyUSB99"}, 1,
         "vornikal-port: /dev/ttyUSB99: No such file or directory (run vornikal-port to list the devices present)\n"},
        {{"com1", "/dev/null"}, 1, "vornikal-port: /dev/null is not a terminal device\n"},
        {{"com1", notAFolder.string()}, 1, "vornikal-port: " + notAFolder.string() + " is not a terminal device\n"},
        {{"--map-dir", notAFolder.string(), "com1", line.SlavePath()}, 1,
         "vornikal-port: cannot write the map folder " + notAFolder.string() + ": "},
    };
    for (const auto& c : cases) {
        const PortRun run = RunPort(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[0];
        EXPECT_EQ(run.err.substr(0, c.error.size()), c.error) << c.arguments[0];
        if (c.exitCode == 2) {
            EXPECT_NE(run.err.find("Try 'vornikal-port --help'."), std::string::npos);
        }
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_FALSE(fs::exists(home.MapFolder())) << "no refused request wrote anything";
    const PortRun help = RunPort({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("usage: vornikal-port [--map-dir DIR]\n"));
}

}  // namespace
