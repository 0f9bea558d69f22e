// Windows names the device itself; the port is all there is to say.
#include "port_name.h"

std::string PortDescription(unsigned port)
{
    return "COM" + std::to_string(port);
}
