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

private:
    // The class entry, the device link and the driver link of one tty below `hardware`.
    void AddTty(const std::filesystem::path& hardware, const std::string& kernelName, const std::string& bus,
                const std::string& driver);

    std::filesystem::path m_root;
};
