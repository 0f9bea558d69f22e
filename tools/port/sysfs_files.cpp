#include "sysfs_files.h"

#include <cctype>
#include <fstream>

namespace fs = std::filesystem;

std::string ReadAttribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string value;
    std::getline(in, value);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
        value.pop_back();
    return value;
}

std::string LinkName(const fs::path& link)
{
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    return error ? std::string() : target.filename().string();
}

UsbIdentity ReadUsbIdentity(const fs::path& device)
{
    return {ReadAttribute(device / "idVendor"), ReadAttribute(device / "idProduct"),
            ReadAttribute(device / "manufacturer"), ReadAttribute(device / "product"),
            ReadAttribute(device / "serial")};
}
