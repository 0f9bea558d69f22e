#include "port_run.h"

#include "config_home.h"

PortRun RunPort(const std::vector<std::string>& arguments, const PortRunOptions& options)
{
    std::vector<std::string> words{VORNIKAL_PORT};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const ScopedEnvironment root("VORNIKAL_PORT_ROOT",
                                 options.root ? std::optional<std::string>(options.root->string()) : std::nullopt);
    return RunToEnd(words, options.asNobody);
}
