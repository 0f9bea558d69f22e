// The UARTs of single-board computers (a Raspberry Pi's PL011 and mini UART, their /dev/serialN
// aliases, the serial console, Bluetooth on a UART), and what a user of the board does about them,
// in the words of the board's own tools where it is a Pi. All read from /sys and /dev, opening nothing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Whether the device tree names a Raspberry Pi.
bool OnRaspberryPi();

// What a board UART's driver stands for ("ARM PL011 UART"); empty for other drivers.
std::string BoardUartKind(const std::string& driver);

// A UART the kernel's serial device bus gave to a Bluetooth driver: it has no tty at all.
struct BluetoothUart {
    std::string hardware;         // fe201000.serial
    std::string driver;           // uart-pl011
    std::string bluetoothDriver;  // hci_uart_bcm
};
std::vector<BluetoothUart> FindBluetoothUarts();

// hciattach and btattach hand a UART to Bluetooth by holding it open.
bool IsBluetoothAttachProgram(const std::string& program);

// The /dev/serialN alias that leads to `node` (Raspberry Pi OS makes serial0 for the header's
// UART and serial1 for the other one).
std::optional<std::filesystem::path> SerialAlias(const std::filesystem::path& node);
// Whether /dev/serial0 exists.
bool HeaderUartAliasPresent();

// What turns the serial console off, the UART on, and Bluetooth off a UART.
std::string ConsoleFix(const std::string& kernelName);
std::string UartOnFix();
std::string BluetoothFix();
