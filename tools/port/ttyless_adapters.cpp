#include "ttyless_adapters.h"

#include "host_paths.h"
#include "sysfs_files.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>

#include <fnmatch.h>
#include <sys/utsname.h>

namespace fs = std::filesystem;

namespace {

// "0403" as udev's PRODUCT writes it: lower case, no leading zeros.
std::string ProductPart(std::string hex)
{
    std::transform(hex.begin(), hex.end(), hex.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto digit = hex.find_first_not_of('0');
    return digit == std::string::npos ? "0" : hex.substr(digit);
}

fs::path ModuleFolder()
{
    utsname system{};
    uname(&system);
    return OnHost(fs::path("/lib/modules") / system.release);
}

// "ch341" for kernel/drivers/usb/serial/ch341.ko.xz.
std::string ModuleName(const std::string& path)
{
    std::string name = fs::path(path).filename().string();
    name = name.substr(0, name.find(".ko"));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

// The drivers that give a USB device a tty: the USB serial family and CDC-ACM.
std::set<std::string> SerialModules()
{
    std::set<std::string> modules{"cdc_acm"};
    std::ifstream dependencies(ModuleFolder() / "modules.dep");
    for (std::string line; std::getline(dependencies, line);) {
        const std::string module = line.substr(0, line.find(':'));
        if (module.find("/drivers/usb/serial/") != std::string::npos)
            modules.insert(ModuleName(module));
    }
    return modules;
}

// The serial driver whose aliases match the interface's modalias, as modprobe would find it.
class SerialAliases {
public:
    std::string DriverFor(const std::string& modalias)
    {
        if (!m_aliases)
            Load();
        for (const auto& [pattern, module] : *m_aliases) {
            if (fnmatch(pattern.c_str(), modalias.c_str(), 0) == 0)
                return module;
        }
        return {};
    }

private:
    void Load()
    {
        m_aliases.emplace();
        const std::set<std::string> serial = SerialModules();
        std::ifstream aliases(ModuleFolder() / "modules.alias");
        for (std::string line; std::getline(aliases, line);) {
            std::istringstream fields(line);
            std::string word, pattern, module;
            if (fields >> word >> pattern >> module && word == "alias" && pattern.starts_with("usb:") && serial.count(module))
                m_aliases->emplace_back(pattern, module);
        }
    }

    std::optional<std::vector<std::pair<std::string, std::string>>> m_aliases;
};

constexpr std::string_view kProductMatch = "ENV{PRODUCT}==\"";

// The brltty rules file that claims "vendor/product/bcd" (ENV{PRODUCT}=="1a86/7523/*"), if any.
std::string BrlttyRulesFor(const std::string& product)
{
    for (const char* folder : {"/etc/udev/rules.d", "/usr/lib/udev/rules.d", "/lib/udev/rules.d"}) {
        std::error_code error;
        for (fs::directory_iterator file(OnHost(folder), error), end; !error && file != end; file.increment(error)) {
            if (file->path().filename().string().find("brltty") == std::string::npos)
                continue;
            std::ifstream rules(file->path());
            for (std::string line; std::getline(rules, line);) {
                const auto match = line.find(kProductMatch);
                if (line.starts_with("#") || match == std::string::npos)
                    continue;
                const auto start = match + kProductMatch.size();
                const std::string pattern = line.substr(start, line.find('"', start) - start);
                if (fnmatch(pattern.c_str(), product.c_str(), 0) == 0)
                    return OnSystem(file->path()).string();
            }
        }
    }
    return {};
}

}  // namespace

std::vector<TtylessAdapter> FindTtylessAdapters()
{
    std::vector<TtylessAdapter> adapters;
    SerialAliases aliases;
    std::error_code error;
    for (fs::directory_iterator entry(OnHost("/sys/bus/usb/devices"), error), end; !error && entry != end;
         entry.increment(error)) {
        // Interfaces are named "1-1.2:1.0"; brltty claims one through usbfs.
        const std::string name = entry->path().filename().string();
        const std::string driver = LinkName(entry->path() / "driver");
        if (name.find(':') == std::string::npos || (!driver.empty() && driver != "usbfs"))
            continue;
        std::error_code unresolved;
        const fs::path device = fs::canonical(entry->path(), unresolved).parent_path();
        if (unresolved)
            continue;
        TtylessAdapter adapter{name.substr(0, name.find(':')), ReadUsbIdentity(device),
                               aliases.DriverFor(ReadAttribute(entry->path() / "modalias")), {}};
        adapter.brlttyRules = BrlttyRulesFor(ProductPart(adapter.identity.vendorId) + "/" +
                                             ProductPart(adapter.identity.productId) + "/" +
                                             ProductPart(ReadAttribute(device / "bcdDevice")));
        const bool listed = std::any_of(adapters.begin(), adapters.end(),
                                        [&](const TtylessAdapter& a) { return a.usbPath == adapter.usbPath; });
        if (!listed && (!adapter.serialDriver.empty() || !adapter.brlttyRules.empty()))
            adapters.push_back(adapter);
    }
    return adapters;
}

std::vector<std::string> TtylessAdapterText(const TtylessAdapter& adapter)
{
    const UsbIdentity& usb = adapter.identity;
    std::string what = "USB " + usb.vendorId + ":" + usb.productId;
    for (const std::string& part : {usb.manufacturer, usb.product}) {
        if (!part.empty())
            what += " " + part;
    }
    std::vector<std::string> lines{what + ", plugged in at " + adapter.usbPath + ", has no tty:"};
    if (!adapter.brlttyRules.empty()) {
        lines.push_back("  brltty took it: its udev rules (" + adapter.brlttyRules + ") claim " + usb.vendorId + ":" +
                        usb.productId + " for a braille display");
        lines.push_back("  fix: if you use no braille display, remove it: sudo apt remove brltty; otherwise copy that file to");
        lines.push_back("  /etc/udev/rules.d/, comment out its line for " + ProductPart(usb.vendorId) + "/" +
                        ProductPart(usb.productId) + ", run 'sudo udevadm control --reload-rules' and plug the adapter in again");
        return lines;
    }
    lines.push_back("  no driver has taken it, although " + adapter.serialDriver + " is made for it");
    lines.push_back("  fix: sudo modprobe " + adapter.serialDriver + ", then plug the adapter in again");
    return lines;
}
