#include "comm_handle.h"

#include "comm_error.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>

#include <unistd.h>

namespace {

struct Registry {
    using Devices = std::unordered_map<std::uintptr_t, std::shared_ptr<CommDevice>>;
    std::mutex lock;
    Devices devices;
    // Handle values are never reused, so a closed handle cannot come to name a later device.
    // Steps of 4 keep them looking like kernel handles; 0 and -1 are never reached.
    std::uintptr_t lastValue = 0;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

// The entry of `handle`, or the end with ERROR_INVALID_HANDLE set. The caller holds the lock.
Registry::Devices::iterator Lookup(Registry& registry, HANDLE handle)
{
    auto found = registry.devices.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == registry.devices.end())
        FailWith(ERROR_INVALID_HANDLE, "no such handle");
    return found;
}

}  // namespace

CommDevice::CommDevice(HeldTty held, std::string devicePath)
    : fd(held.fd), lock(std::move(held.lock)), path(std::move(devicePath))
{
}

CommDevice::~CommDevice()
{
    close(fd);
}

HANDLE RegisterCommDevice(HeldTty held, std::string devicePath)
{
    auto device = std::make_shared<CommDevice>(std::move(held), std::move(devicePath));
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.lastValue += 4;
    registry.devices.emplace(registry.lastValue, std::move(device));
    return reinterpret_cast<HANDLE>(registry.lastValue);
}

std::shared_ptr<CommDevice> FindCommDevice(HANDLE handle)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto found = Lookup(registry, handle);
    return found == registry.devices.end() ? nullptr : found->second;
}

std::string CommDevicePath(HANDLE handle)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto found = registry.devices.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == registry.devices.end() ? std::string() : found->second->path;
}

std::shared_ptr<CommDevice> UnregisterCommDevice(HANDLE handle)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto found = Lookup(registry, handle);
    if (found == registry.devices.end())
        return nullptr;
    auto device = std::move(found->second);
    registry.devices.erase(found);
    return device;
}
