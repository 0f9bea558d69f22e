// A fake /sys and /dev tree for vornikal-port (VORNIKAL_PORT_ROOT), laid out as the kernel lays
// out its own: class links into /sys/devices, driver links, USB attributes, by-id links. Device
// nodes that the command may open are links to real pseudo-terminals, so nothing real is touched.
#pragma once

#include <filesystem>
#include <string>

struct UsbAdapter {
    std::string kernelName;    // ttyUSB0
    std::string driver;        // ftdi_sio
    std::string vendorId, productId, manufacturer, product, serial;
    std::string byId;          // the name in /dev/serial/by-id
};

class FakeSystem {
public:
    FakeSystem();
    ~FakeSystem();
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;

    const std::filesystem::path& Root() const { return m_root; }

    // An 8250 port the kernel registered with no UART behind it (type 0); its node is a plain file.
    void AddAbsentUart(const std::string& kernelName);
    // A USB adapter whose node leads to `device`.
    void AddUsbAdapter(const UsbAdapter& adapter, const std::filesystem::path& device);
    // A modem-class USB device (cdc_acm) without a by-id name, its node leading to `device`.
    void AddAcmDevice(const std::string& kernelName, const std::filesystem::path& device);

    // The board's model in the device tree, as its firmware writes it.
    void SetModel(const std::string& model);
    // A board's own UART (`driver` uart-pl011 or bcm2835-aux-uart) at `hardware` (fe201000.serial),
    // its node leading to `device`; with `alias`, a link of that name in /dev (serial0), as udev
    // makes on Raspberry Pi OS.
    void AddBoardUart(const std::string& hardware, const std::string& kernelName, const std::string& driver,
                      const std::filesystem::path& device, const std::string& alias);
    // The ttys the kernel's console writes to ("ttyS0 tty1").
    void SetConsoles(const std::string& names);
    // A UART at `hardware` that the serial device bus gave to a Bluetooth driver: it has no tty.
    void AddBluetoothUart(const std::string& hardware, const std::string& driver, const std::string& bluetoothDriver);

    // udev's record of the device `device` leads to ("E:KEY=VALUE" lines). The USB devices above
    // start with ModemManager told to leave them alone, so that a ModemManager running on the
    // machine changes no listing; a test of ModemManager clears it.
    void SetUdevRecord(const std::filesystem::path& device, const std::string& lines);
    // A USB device plugged in at `usbPath` ("1-4") whose one interface no serial driver took:
    // `interfaceDriver` is empty, or usbfs for a program that claimed it (brltty does).
    void AddTtylessUsbDevice(const std::string& usbPath, const UsbAdapter& ids, const std::string& interfaceDriver);
    // A udev rules file of a package, in /usr/lib/udev/rules.d.
    void AddUdevRules(const std::string& name, const std::string& content);

private:
    // The class entry, the device link and the driver link of one tty below `hardware`.
    void AddTty(const std::filesystem::path& hardware, const std::string& kernelName, const std::string& bus,
                const std::string& driver);

    std::filesystem::path m_root;
};
