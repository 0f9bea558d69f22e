#include "fake_system.h"

#include "config_home.h"

#include <fstream>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

void WriteAttribute(const fs::path& file, const std::string& value)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << value << "\n";
}

}  // namespace

FakeSystem::FakeSystem() : m_root(MakeTemporaryFolder())
{
    // Readable by the unprivileged user some tests run the command as.
    fs::permissions(m_root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    fs::create_directories(m_root / "sys/class/tty");
    fs::create_directories(m_root / "dev/serial/by-id");
}

FakeSystem::~FakeSystem()
{
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

void FakeSystem::AddTty(const fs::path& hardware, const std::string& kernelName, const std::string& bus,
                        const std::string& driver)
{
    const fs::path driverFolder = m_root / "sys/bus" / bus / "drivers" / driver;
    fs::create_directories(driverFolder);
    fs::create_directories(hardware);
    if (!fs::exists(fs::symlink_status(hardware / "driver")))
        fs::create_symlink(fs::relative(driverFolder, hardware), hardware / "driver");
    const fs::path classDevice = hardware / "tty" / kernelName;
    fs::create_directories(classDevice);
    fs::create_symlink(fs::relative(hardware, classDevice), classDevice / "device");
    fs::create_symlink(fs::relative(classDevice, m_root / "sys/class/tty"), m_root / "sys/class/tty" / kernelName);
}

void FakeSystem::AddAbsentUart(const std::string& kernelName)
{
    const fs::path platform = m_root / "sys/devices/platform/serial8250";
    AddTty(platform, kernelName, "platform", "serial8250");
    WriteAttribute(platform / "tty" / kernelName / "type", "0");
    std::ofstream(m_root / "dev" / kernelName) << "";
}

void FakeSystem::AddUsbAdapter(const UsbAdapter& adapter, const fs::path& device)
{
    const fs::path usbDevice = m_root / "sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
    WriteAttribute(usbDevice / "idVendor", adapter.vendorId);
    WriteAttribute(usbDevice / "idProduct", adapter.productId);
    WriteAttribute(usbDevice / "manufacturer", adapter.manufacturer);
    WriteAttribute(usbDevice / "product", adapter.product);
    WriteAttribute(usbDevice / "serial", adapter.serial);
    AddTty(usbDevice / "1-2:1.0" / adapter.kernelName, adapter.kernelName, "usb-serial", adapter.driver);
    fs::create_symlink(device, m_root / "dev" / adapter.kernelName);
    fs::create_symlink("../../" + adapter.kernelName, m_root / "dev/serial/by-id" / adapter.byId);
    SetUdevRecord(device, "E:ID_MM_DEVICE_IGNORE=1");
}

void FakeSystem::AddAcmDevice(const std::string& kernelName, const fs::path& device)
{
    const fs::path usbDevice = m_root / "sys/devices/pci0000:00/0000:00:14.0/usb1/1-3";
    WriteAttribute(usbDevice / "idVendor", "2341");
    WriteAttribute(usbDevice / "idProduct", "0043");
    AddTty(usbDevice / "1-3:1.0", kernelName, "usb", "cdc_acm");
    fs::create_symlink(device, m_root / "dev" / kernelName);
    SetUdevRecord(device, "E:ID_MM_DEVICE_IGNORE=1");
}

void FakeSystem::SetModel(const std::string& model)
{
    fs::create_directories(m_root / "sys/firmware/devicetree/base");
    std::ofstream(m_root / "sys/firmware/devicetree/base/model") << model << '\0';
}

void FakeSystem::AddBoardUart(const std::string& hardware, const std::string& kernelName, const std::string& driver,
                              const fs::path& device, const std::string& alias)
{
    AddTty(m_root / "sys/devices/platform/soc" / hardware, kernelName, driver == "uart-pl011" ? "amba" : "platform",
           driver);
    fs::create_symlink(device, m_root / "dev" / kernelName);
    if (!alias.empty())
        fs::create_symlink(kernelName, m_root / "dev" / alias);
}

void FakeSystem::SetConsoles(const std::string& names)
{
    WriteAttribute(m_root / "sys/devices/virtual/tty/console/active", names);
    fs::create_symlink("../../devices/virtual/tty/console", m_root / "sys/class/tty/console");
}

void FakeSystem::AddBluetoothUart(const std::string& hardware, const std::string& driver,
                                  const std::string& bluetoothDriver)
{
    const fs::path uart = m_root / "sys/devices/platform/soc" / hardware;
    const fs::path client = uart / "serial0/serial0-0";
    fs::create_directories(client / "bluetooth/hci0");
    const auto bind = [&](const fs::path& device, const std::string& bus, const std::string& name) {
        const fs::path folder = m_root / "sys/bus" / bus / "drivers" / name;
        fs::create_directories(folder);
        fs::create_symlink(fs::relative(folder, device), device / "driver");
    };
    bind(uart, "amba", driver);
    bind(client, "serial", bluetoothDriver);
    fs::create_directories(m_root / "sys/bus/serial/devices");
    fs::create_symlink(fs::relative(client, m_root / "sys/bus/serial/devices"), m_root / "sys/bus/serial/devices/serial0-0");
}

void FakeSystem::SetUdevRecord(const fs::path& device, const std::string& lines)
{
    struct stat node {};
    ASSERT_EQ(stat(device.c_str(), &node), 0) << device;
    WriteAttribute(m_root / "run/udev/data" / ("c" + std::to_string(major(node.st_rdev)) + ":" + std::to_string(minor(node.st_rdev))),
                   lines);
}

void FakeSystem::AddTtylessUsbDevice(const std::string& usbPath, const UsbAdapter& ids, const std::string& interfaceDriver)
{
    const fs::path usbDevice = m_root / "sys/devices/pci0000:00/0000:00:14.0/usb1" / usbPath;
    WriteAttribute(usbDevice / "idVendor", ids.vendorId);
    WriteAttribute(usbDevice / "idProduct", ids.productId);
    WriteAttribute(usbDevice / "bcdDevice", "0264");
    WriteAttribute(usbDevice / "manufacturer", ids.manufacturer);
    WriteAttribute(usbDevice / "product", ids.product);
    const fs::path interface = usbDevice / (usbPath + ":1.0");
    WriteAttribute(interface / "modalias", "usb:v" + ids.vendorId + "p" + ids.productId + "d0264dcFFdsc00dp00icFFisc01ip00in00");
    if (!interfaceDriver.empty()) {
        const fs::path driver = m_root / "sys/bus/usb/drivers" / interfaceDriver;
        fs::create_directories(driver);
        fs::create_symlink(fs::relative(driver, interface), interface / "driver");
    }
    const fs::path devices = m_root / "sys/bus/usb/devices";
    fs::create_directories(devices);
    fs::create_symlink(fs::relative(interface, devices), devices / interface.filename());
}

void FakeSystem::AddUdevRules(const std::string& name, const std::string& content)
{
    WriteAttribute(m_root / "usr/lib/udev/rules.d" / name, content);
}
