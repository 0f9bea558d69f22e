#include "port_name.h"

std::string PortOpenName(unsigned port)
{
    const std::string name = "com" + std::to_string(port);
    return port < 10 ? name : "\\\\.\\" + name;
}
